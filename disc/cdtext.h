#pragma once

#include <QString>
#include <QStringList>

// What an audio CD's CD-TEXT says in its first language: the album's title
// and performer, and per track (by index from 0) its title and performer;
// empty texts where the disc says nothing. Read from discs and cue sheets,
// and written by the burns.
struct CdText {
    QString title;
    QString performer;
    QStringList trackTitles;
    QStringList trackPerformers;

    QString trackTitle(int index) const { return trackTitles.value(index); }
    QString trackPerformer(int index) const { return trackPerformers.value(index); }
    bool isEmpty() const;
};
