#include "ImgOrientation.h"

ImgOrientation::ImgOrientation(int rotateDegrees, bool flipH, bool flipV, int sourceRows, int sourceCols)
    : m_flipH(flipH), m_flipV(flipV), m_sourceRows(sourceRows), m_sourceCols(sourceCols)
{
    const int normalised = ((rotateDegrees % 360) + 360) % 360;
    if (normalised == 90 || normalised == 180 || normalised == 270)
        m_rotation = normalised;
    const bool swapsSize = m_rotation == 90 || m_rotation == 270;
    m_rows = swapsSize ? sourceCols : sourceRows;
    m_cols = swapsSize ? sourceRows : sourceCols;
    m_identity = m_rotation == 0 && !flipH && !flipV;
    // The mapping is affine in (row, col), so two differences give the steps
    // (also for pictures one pixel high or wide).
    m_origin = sourceIndex(0, 0);
    m_rowStep = sourceIndex(1, 0) - m_origin;
    m_colStep = sourceIndex(0, 1) - m_origin;
}

qptrdiff ImgOrientation::sourceIndex(qptrdiff row, qptrdiff col) const
{
    // Undo the mirroring first (it was applied last), then the rotation.
    const qptrdiff x = m_flipH ? m_cols - 1 - col : col;
    const qptrdiff y = m_flipV ? m_rows - 1 - row : row;
    qptrdiff sourceX = x;
    qptrdiff sourceY = y;
    switch (m_rotation) {
    case 90: // the source's left column becomes the top row
        sourceX = y;
        sourceY = m_sourceRows - 1 - x;
        break;
    case 180:
        sourceX = m_sourceCols - 1 - x;
        sourceY = m_sourceRows - 1 - y;
        break;
    case 270: // the source's right column becomes the top row
        sourceX = m_sourceCols - 1 - y;
        sourceY = x;
        break;
    default:
        break;
    }
    return sourceY * m_sourceCols + sourceX;
}

qptrdiff ImgOrientation::outputIndex(qptrdiff sourceRow, qptrdiff sourceCol) const
{
    // Rotate first, then mirror.
    qptrdiff x = sourceCol;
    qptrdiff y = sourceRow;
    switch (m_rotation) {
    case 90:
        x = m_sourceRows - 1 - sourceRow;
        y = sourceCol;
        break;
    case 180:
        x = m_sourceCols - 1 - sourceCol;
        y = m_sourceRows - 1 - sourceRow;
        break;
    case 270:
        x = sourceRow;
        y = m_sourceCols - 1 - sourceCol;
        break;
    default:
        break;
    }
    const qptrdiff col = m_flipH ? m_cols - 1 - x : x;
    const qptrdiff row = m_flipV ? m_rows - 1 - y : y;
    return row * m_cols + col;
}
