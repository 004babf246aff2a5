#pragma once

#include "ImgAdjBlock.h"
#include "ImgSearch.h"

#include <QList>
#include <QObject>

class ImgAdjUtil;
class RawFrame;
class VornFrame;

// The decoding and comparing half of an image search, living in the search
// thread. It processes with its own copy of the owner's adjustments, so the
// user may change them while a search runs. Frames arrive as completed
// RawFrames whose initFinished() is connected (queued) to init() for the
// first frame and to compare() for every later one.
class ImgSearchWorker : public QObject
{
    Q_OBJECT

public:
    // `level`: the largest difference of 16-bit grey samples that still
    // counts as the same picture. `util` is the application's pipeline
    // object (read-only, safe from any thread).
    ImgSearchWorker(int level, ImgSearch::RefFrame refFrame, const ImgAdjBlock& block,
                    const ImgAdjUtil* util);

    int level() const { return m_level; }
    ImgSearch::RefFrame refFrame() const { return m_refFrame; }

signals:
    // A frame was examined and looked the same; the next one may come.
    void compareReady();
    // The last frame differs from its reference by more than the level.
    void found();

public slots:
    // The start frame arrived (the sender is its RawFrame).
    void init();
    // The next frame arrived (the sender is its RawFrame).
    void compare();

private:
    RawFrame* senderFrame() const;

    int m_level;
    ImgSearch::RefFrame m_refFrame;
    ImgAdjBlock m_block;
    const ImgAdjUtil* m_util;
    VornFrame* m_a = nullptr;
    VornFrame* m_b = nullptr;
    // The frame that receives the next fetched frame.
    VornFrame* m_next = nullptr;
    // The grey pictures of "A" and "B", each made once per frame they receive.
    QList<quint16> m_greyA;
    QList<quint16> m_greyB;
};
