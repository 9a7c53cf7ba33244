#pragma once

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <array>

#include "progress/ranking.h"

// The record window's pictures, painted for the screen's device pixel ratio so that they stay as
// sharp as the text beside them.
namespace RecordPictures {

// The four root pictures of a character side by side, in logical pixels.
inline constexpr QSize kRootStrip{4 * 28, 28};
QPixmap rootStrip(const std::array<QPixmap, 4>& pictures, qreal ratio);

// Red through yellow to green as good goes from 0 to 1, light enough for black text on it.
QColor scale(double good);

// Error rates from kGood (green) to kBad and over (red); keys never practised are grey.
inline constexpr double kGood = 0.0;
inline constexpr double kBad = 0.25;
QColor heat(double rate);
inline const QColor kNeverPractised{222, 222, 222};

// The finger drill's keys drawn from its key table, each practised key in its error rate's colour
// with the rate in per cent; never-practised keys grey with no number.
QPixmap heatMap(const QList<Ranking::KeyScore>& keys, qreal ratio);
// The colour scale from 0 % to kBad and the grey of "未练过".
QPixmap heatLegend(const QFont& font, qreal ratio);

}  // namespace RecordPictures
