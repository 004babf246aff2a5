#pragma once

#include "GainTableCache.h"
#include "ImgAdjBlock.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <array>
#include <opencv2/core.hpp>
#include <vector>

// The image pipeline: the fixed conversion tables and the operations that turn
// an expanded 8-bit companded mosaic into the 16-bit BGR pictures the display,
// the image search and the writers use. One instance, owned by the application
// object. It is read-only after construction and keeps no per-frame state, so
// several threads may run the pipeline at once, each with its own buffers.
//
// Buffers are QList<quint16> (implicitly shared): a picture of H rows and W
// columns is H * W samples for a mosaic or grey picture and H * W * 3 samples
// (B, G, R per pixel) for a colour one, row by row without padding.
class ImgAdjUtil : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")

public:
    // The colour-filter layout of the top-left 2x2 sensor sites.
    enum CfaType {
        CfaMono = 0,
        CfaRGGB = 1,
        CfaGBRG = 2,
        CfaBGGR = 3,
        CfaGRBG = 4,
    };
    Q_ENUM(CfaType)

    // Gains from automatic white balance.
    struct WhiteBalance
    {
        double r = 1.0;
        double g = 1.0;
        double b = 1.0;
    };

    explicit ImgAdjUtil(QObject* parent = nullptr);

    // The 9-bit level (0..511) of a 16-bit sample, for the pixel read-out.
    Q_INVOKABLE quint16 pix16bTo9b(quint16 pix16) const { return m_to9bit[pix16]; }
    // The 16-bit sample of an 8-bit companded code.
    quint16 expansion(quint8 code) const { return m_expansion[code]; }
    // The 8-bit level of a 16-bit sample.
    quint8 pix16bTo8b(quint16 pix16) const { return m_to8bit[pix16]; }

    // Expands companded code bytes into out, one sample per element of out
    // (its size is kept). Elements without a byte become 0, so a short record
    // is never read past its end.
    void expand(const char* bytes, qsizetype byteCount, QList<quint16>& out) const;
    void expand(const QByteArray& bytes, QList<quint16>& out) const;
    // The same for the image inside a frame record, which starts `offset`
    // bytes into it (the metadata size).
    void expand(const QByteArray& record, qsizetype offset, QList<quint16>& out) const;

    // The pipeline: white balance on the mosaic, demosaicing, the block's
    // tables, rotation and mirroring, and the overlay. raw16 holds height *
    // width expanded samples (missing ones read as 0). clean receives the
    // processed picture and display the same with the exposure-assist or
    // focus-peaking overlay; without an overlay display shares clean's data.
    // height and width are written back as the size after rotation.
    //
    // With display8, that image also receives bgr888Image(display), made
    // while the rows are still in the cache where it can (its buffer is
    // reused when the image is not shared and has the size).
    void process(const ImgAdjBlock& block, const QList<quint16>& raw16, QList<quint16>& display,
                 QList<quint16>& clean, int& height, int& width, QImage* display8 = nullptr) const;

    // Applies the tables to a CV_16UC3 BGR picture in place: B through lutB, G
    // through lutG, R through lutR. A table without 65536 entries leaves its
    // channel unchanged.
    void lut16Adjust(cv::Mat& bgr16, const QList<quint16>& lutR, const QList<quint16>& lutG,
                     const QList<quint16>& lutB) const;
    // One channel's table from its offset (-1 .. 1 of full scale), gain, gamma
    // and contrast (-1 flat mid-grey .. 1 hard threshold).
    static void buildLut16(QList<quint16>& lut, double offset, double gain, double gamma, double contrast);
    // The table of the defaults (lut[i] = i), shared by every channel that
    // has them.
    static const QList<quint16>& identityLut();

    // Gains that make the mean R, G and B levels of the unbalanced mosaic
    // equal to the largest of them, with the calibration gains taken out.
    WhiteBalance autoWhiteBalance(const ImgAdjBlock& block, const QList<quint16>& raw16, int height,
                                  int width) const;

    // Every sample of a 16-bit buffer through the to-8-bit table.
    void to8bit(const QList<quint16>& bgr16, QByteArray& out) const;
    // The same for `rows` rows of rowSamples samples into rows `outStride`
    // bytes apart (the scan lines of a QImage).
    void to8bit(const quint16* samples, int rows, int rowSamples, uchar* out, qsizetype outStride) const;
    // The 8-bit BGR888 picture of a BGR buffer.
    QImage bgr888Image(const QList<quint16>& bgr16, int height, int width) const;

    // Grey (OpenCV COLOR_BGR2GRAY) of a BGR buffer, at 16 bits and through the
    // to-8-bit table.
    void gray16(const QList<quint16>& bgr16, int height, int width, QList<quint16>& out) const;
    void gray8(const QList<quint16>& bgr16, int height, int width, QByteArray& out) const;
    QImage gray16Image(const QList<quint16>& bgr16, int height, int width) const;
    QImage gray8Image(const QList<quint16>& bgr16, int height, int width) const;

    // The histogram picture (BGR888, pictureWidth x pictureHeight) of a
    // 16-bit BGR buffer: one outline per channel over at most binLimit bins.
    QImage renderHistogram(const QList<quint16>& bgr16, int width, int height, int pictureWidth,
                           int pictureHeight, int binLimit = 256) const;

    // Whether two 16-bit grey pictures of rows x cols differ somewhere by more
    // than threshold.
    bool differs(const QList<quint16>& a16, const QList<quint16>& b16, int rows, int cols,
                 int threshold) const;

private:
    const quint16* lutOrIdentity(const QList<quint16>& lut) const;
    bool isIdentity(const quint16* lut) const;
    void toGray16(const QList<quint16>& bgr16, int height, int width, cv::Mat& grey) const;

    std::array<quint16, 256> m_expansion;
    std::vector<quint8> m_to8bit;
    std::vector<quint16> m_to9bit;
    std::vector<quint16> m_identity;
    // Derived tables only: results never depend on what it holds.
    mutable GainTableCache m_gainTables;
};
