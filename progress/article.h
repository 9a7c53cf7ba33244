#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A text file of the pupil's own made into practice text: only characters that have a Wubi code
// stay; what was left out is told to the pupil.
namespace Article {

// UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, GBK otherwise.
QString decode(const QByteArray& bytes);

struct Kept {
    QString text;     // the coded characters in file order, line ends and blanks dropped
    QString leftOut;  // each character without a code once, in order of first appearance
};

Kept keepCoded(const QString& text, const std::function<bool(const QString&)>& hasCode);

}  // namespace Article
