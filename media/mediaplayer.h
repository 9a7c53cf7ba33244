#pragma once

#include <QObject>
#include <QString>

// The main window's music player. Playback comes with the music window.
class TMediaPlayer : public QObject {
    Q_OBJECT
  public:
    explicit TMediaPlayer(QObject* parent = nullptr) : QObject(parent) {}

    QString FileName;
};
