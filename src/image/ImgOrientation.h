#pragma once

#include <QtGlobal>

// Rotation by a multiple of 90 degrees followed by mirroring, expressed as
// where each output pixel comes from: the source pixel index of output pixel
// (row, col) is origin + row * rowStep + col * colStep. One pass over the
// output can so apply the tables and turn the picture at the same time.
class ImgOrientation
{
public:
    // rotateDegrees: ((rotate mod 360) + 360) mod 360 of 90 turns clockwise,
    // 180 half a turn, 270 counter-clockwise, any other value not at all.
    // flipH mirrors left-right and flipV top-bottom, after the rotation.
    ImgOrientation(int rotateDegrees, bool flipH, bool flipV, int sourceRows, int sourceCols);

    // The normalised rotation: 0, 90, 180 or 270.
    int rotation() const { return m_rotation; }
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    bool isIdentity() const { return m_identity; }

    qptrdiff origin() const { return m_origin; }
    qptrdiff rowStep() const { return m_rowStep; }
    qptrdiff colStep() const { return m_colStep; }

    // The other way round: the output pixel index of source pixel (row, col).
    qptrdiff outputIndex(qptrdiff sourceRow, qptrdiff sourceCol) const;

private:
    qptrdiff sourceIndex(qptrdiff row, qptrdiff col) const;

    int m_rotation = 0;
    bool m_flipH;
    bool m_flipV;
    int m_sourceRows;
    int m_sourceCols;
    int m_rows;
    int m_cols;
    bool m_identity;
    qptrdiff m_origin;
    qptrdiff m_rowStep;
    qptrdiff m_colStep;
};
