#pragma once

#include <QList>
#include <QVariant>

// The adjustment settings of one playable object, held by value inside its
// ImgAdjModel. The pipeline reads only this block, so a frame processor keeps
// a pointer to its model's block, and a worker thread processes with its own
// copy (tables included) taken when it starts.
struct ImgAdjBlock
{
    static constexpr int lutSize = 65536;

    QVariant offsetR = 0.0, offsetG = 0.0, offsetB = 0.0;
    QVariant gainR = 1.0, gainG = 1.0, gainB = 1.0;
    QVariant gammaR = 1.0, gammaG = 1.0, gammaB = 1.0;
    QVariant contrastR = 0.0, contrastG = 0.0, contrastB = 0.0;
    // ImgAdjUtil::CfaType of the top-left 2x2 sensor sites.
    QVariant cfa = 0;
    QVariant wbR = 1.0, wbG = 1.0, wbB = 1.0;
    QVariant wbCalR = 1.0, wbCalG = 1.0, wbCalB = 1.0;
    // All zero until the owner first runs ImgAdjModel::updateLut().
    QList<quint16> lutR = QList<quint16>(lutSize, 0);
    QList<quint16> lutG = QList<quint16>(lutSize, 0);
    QList<quint16> lutB = QList<quint16>(lutSize, 0);
    // Degrees; only multiples of 90 rotate.
    QVariant rotate = 0;
    QVariant flipH = false;
    QVariant flipV = false;
    // ImgAdjModel::ExpAssist and ImgAdjModel::FocusPeak.
    int expAssist = 0;
    int focusPeak = 0;
};
