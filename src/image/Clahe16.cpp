#include "Clahe16.h"

#include "ParallelLoop.h"

#include <algorithm>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int HistSize = 65536;
constexpr int TileCount = Clahe16::GridSize * Clahe16::GridSize;

// One in the lanes whose bit is set, for each set of four lanes.
alignas(16) const quint32 laneMasks[16][4] = {
    {0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 1, 0},
    {0, 1, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1},
    {0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1},
};

} // namespace

void Clahe16::prepare(const cv::Mat& grey)
{
    if (grey.size() == m_size && !m_tables.empty())
        return;
    m_size = grey.size();
    const int rows = grey.rows;
    const int cols = grey.cols;
    // A picture that does not split into whole tiles both ways is extended
    // by reflection at the bottom by 8 - rows % 8 rows and at the right by
    // 8 - cols % 8 columns (8 where that size did split), as OpenCV does.
    const bool even = cols % GridSize == 0 && rows % GridSize == 0;
    const int extRows = even ? rows : rows + GridSize - rows % GridSize;
    const int extCols = even ? cols : cols + GridSize - cols % GridSize;
    m_tileSize = cv::Size(extCols / GridSize, extRows / GridSize);
    m_extRows.resize(size_t(extRows));
    for (int row = 0; row < extRows; ++row)
        m_extRows[size_t(row)] = cv::borderInterpolate(row, rows, cv::BORDER_REFLECT_101);
    m_extCols.resize(size_t(extCols));
    for (int col = 0; col < extCols; ++col)
        m_extCols[size_t(col)] = cv::borderInterpolate(col, cols, cv::BORDER_REFLECT_101);

    const int area = m_tileSize.area();
    m_lutScale = float(HistSize - 1) / float(area);
    m_clip = std::max(int(m_clipLimit * area / HistSize), 1);

    // Each output column lies between the centres of two tile columns (the
    // same one at the edges); the weights are computed in single precision
    // exactly as OpenCV does.
    std::vector<int> leftTile(static_cast<size_t>(cols));
    std::vector<int> rightTile(static_cast<size_t>(cols));
    m_leftWeight.resize(size_t(cols));
    m_rightWeight.resize(size_t(cols));
    const float inverseWidth = 1.0f / float(m_tileSize.width);
    for (int col = 0; col < cols; ++col) {
        const float position = float(col) * inverseWidth - 0.5f;
        const int left = cvFloor(position);
        const float right = position - float(left);
        m_rightWeight[size_t(col)] = right;
        m_leftWeight[size_t(col)] = 1.0f - right;
        leftTile[size_t(col)] = std::max(left, 0) * HistSize;
        rightTile[size_t(col)] = std::min(left + 1, GridSize - 1) * HistSize;
    }
    m_spans.clear();
    for (int col = 0; col < cols; ++col) {
        if (m_spans.empty() || m_spans.back().leftTable != leftTile[size_t(col)] ||
            m_spans.back().rightTable != rightTile[size_t(col)])
            m_spans.push_back({col, col, leftTile[size_t(col)], rightTile[size_t(col)]});
        m_spans.back().end = col + 1;
    }
    m_tables.assign(size_t(TileCount) * HistSize, 0);
}

void Clahe16::buildTables(const cv::Mat& grey)
{
    CV_Assert(grey.type() == CV_16UC1 && equalises(grey.rows, grey.cols));
    prepare(grey);
    // A pixel reads the tables of its own tile and of the tiles around it,
    // at its own level. So a table is needed only between the lowest and the
    // highest level of the nine tiles around it, and only that part of it is
    // made (the rest keeps what an earlier picture left, never read).
    ParallelLoop::run(cv::Range(0, TileCount), [&](const cv::Range& tiles) {
        for (int tile = tiles.start; tile < tiles.end; ++tile) {
            const int firstRow = tile / GridSize * m_tileSize.height;
            const int firstCol = tile % GridSize * m_tileSize.width;
            const cv::Rect inPicture = cv::Rect(firstCol, firstRow, m_tileSize.width, m_tileSize.height) &
                                       cv::Rect(0, 0, grey.cols, grey.rows);
            double low = HistSize;
            double high = -1;
            if (!inPicture.empty())
                cv::minMaxLoc(grey(inPicture), &low, &high);
            m_levels[size_t(tile)] = {int(low), int(high)};
        }
    });
    ParallelLoop::run(cv::Range(0, TileCount), [&](const cv::Range& tiles) {
        // All zero between tables: each table's pass clears what it counted.
        thread_local std::vector<quint32> histogram(HistSize, 0);
        for (int tile = tiles.start; tile < tiles.end; ++tile)
            buildTable(grey, tile, histogram);
    });
}

Clahe16::Levels Clahe16::levelsAround(int tile) const
{
    const int tileRow = tile / GridSize;
    const int tileCol = tile % GridSize;
    Levels around = {HistSize, -1};
    for (int row = std::max(tileRow - 1, 0); row <= std::min(tileRow + 1, GridSize - 1); ++row) {
        for (int col = std::max(tileCol - 1, 0); col <= std::min(tileCol + 1, GridSize - 1); ++col) {
            const Levels& levels = m_levels[size_t(row * GridSize + col)];
            around.low = std::min(around.low, levels.low);
            around.high = std::max(around.high, levels.high);
        }
    }
    return around;
}

void Clahe16::buildTable(const cv::Mat& grey, int tile, std::vector<quint32>& histogram)
{
    const int firstRow = tile / GridSize * m_tileSize.height;
    const int firstCol = tile % GridSize * m_tileSize.width;
    const int width = m_tileSize.width;
    const quint32 clip = quint32(m_clip);
    quint32* counts = histogram.data();
    // Samples counted below the clip limit: what clipping keeps.
    quint32 kept = 0;
    // The levels counted: those of the tile's pixels, found before; a tile
    // reaching beyond the picture also counts reflected samples, whose
    // levels it notes as it goes.
    const Levels& own = m_levels[size_t(tile)];
    int countedLow = own.low;
    int countedHigh = own.high;
    const int endRow = firstRow + m_tileSize.height;
    const int endCol = firstCol + width;
    for (int row = firstRow; row < endRow; ++row) {
        const quint16* line = grey.ptr<quint16>(m_extRows[size_t(row)]);
        if (row < grey.rows && endCol <= grey.cols) {
            for (int col = firstCol; col < endCol; ++col)
                kept += ++counts[line[col]] <= clip;
            continue;
        }
        for (int col = firstCol; col < endCol; ++col) {
            const int level = line[m_extCols[size_t(col)]];
            kept += ++counts[level] <= clip;
            countedLow = std::min(countedLow, level);
            countedHigh = std::max(countedHigh, level);
        }
    }

    // The clipped samples are spread over all bins: a whole batch to each,
    // then one more to every step-th bin from the first while any remain.
    // One vector pass clips, spreads, sums, scales and rounds, and clears
    // the counts for the next tile, over the levels that are counted or
    // read; below them the sum is known without counting.
    const quint32 clipped = quint32(m_tileSize.area()) - kept;
    const quint32 batch = clipped / HistSize;
    const int residual = int(clipped - batch * HistSize);
    const int step = residual ? std::max(HistSize / residual, 1) : HistSize;
    const Levels read = levelsAround(tile);
    const int begin = std::min(read.low, countedLow) & ~3;
    const int end = (std::max(read.high, countedHigh) | 3) + 1;
    const int residualBefore = begin > 0 && residual > 0 ? std::min(residual, (begin - 1) / step + 1) : 0;
    int residualLeft = residual - residualBefore;
    int nextResidualBin = residualBefore * step;

    const cv::v_uint32x4 clipLimit = cv::v_setall_u32(clip);
    const cv::v_uint32x4 batchCount = cv::v_setall_u32(batch);
    const cv::v_float32x4 scale = cv::v_setall_f32(m_lutScale);
    const cv::v_uint32x4 zero = cv::v_setzero_u32();
    cv::v_uint32x4 carry = cv::v_setall_u32(batch * quint32(begin) + quint32(residualBefore));
    quint16* table = m_tables.data() + size_t(tile) * HistSize;
    for (int first = begin; first < end; first += 4) {
        cv::v_uint32x4 counted = cv::v_min(cv::v_load(counts + first), clipLimit) + batchCount;
        cv::v_store(counts + first, zero); // cleared for the next tile
        if (residualLeft > 0 && nextResidualBin < first + 4) {
            int lanes = 0;
            for (; residualLeft > 0 && nextResidualBin < first + 4; --residualLeft) {
                lanes |= 1 << (nextResidualBin - first);
                nextResidualBin += step;
            }
            counted += cv::v_load(laneMasks[lanes]);
        }
        // Running sum across the four bins, then on from the previous four.
        counted += cv::v_rotate_left<1>(counted);
        counted += cv::v_rotate_left<2>(counted);
        counted += carry;
        carry = cv::v_broadcast_element<3>(counted);
        // Sums stay far below 2^31, so they convert as signed; rounding is
        // to nearest even and the pack saturates, as OpenCV's conversion of
        // each entry does.
        const cv::v_float32x4 level = cv::v_cvt_f32(cv::v_reinterpret_as_s32(counted)) * scale;
        cv::v_pack_u_store(table + first, cv::v_round(level));
    }
}

void Clahe16::equaliseRow(const cv::Mat& grey, int row, quint16* out) const
{
    const float inverseHeight = 1.0f / float(m_tileSize.height);
    const float position = float(row) * inverseHeight - 0.5f;
    const int upper = cvFloor(position);
    const float lowerWeight = position - float(upper);
    const float upperWeight = 1.0f - lowerWeight;
    const quint16* upperTables = m_tables.data() + size_t(std::max(upper, 0)) * GridSize * HistSize;
    const quint16* lowerTables =
        m_tables.data() + size_t(std::min(upper + 1, GridSize - 1)) * GridSize * HistSize;
    const cv::v_float32x4 upperWeights = cv::v_setall_f32(upperWeight);
    const cv::v_float32x4 lowerWeights = cv::v_setall_f32(lowerWeight);

    const quint16* in = grey.ptr<quint16>(row);
    const float* leftWeight = m_leftWeight.data();
    const float* rightWeight = m_rightWeight.data();
    for (const Span& span : m_spans) {
        const quint16* upperLeft = upperTables + span.leftTable;
        const quint16* upperRight = upperTables + span.rightTable;
        const quint16* lowerLeft = lowerTables + span.leftTable;
        const quint16* lowerRight = lowerTables + span.rightTable;
        int col = span.first;
        // The same single-precision expression, term for term and in the
        // same order, as OpenCV's, four pixels at a time.
        for (; col + 4 <= span.end; col += 4) {
            const quint16* v = in + col;
            const cv::v_float32x4 a = cv::v_cvt_f32(
                cv::v_int32x4(upperLeft[v[0]], upperLeft[v[1]], upperLeft[v[2]], upperLeft[v[3]]));
            const cv::v_float32x4 b = cv::v_cvt_f32(
                cv::v_int32x4(upperRight[v[0]], upperRight[v[1]], upperRight[v[2]], upperRight[v[3]]));
            const cv::v_float32x4 c = cv::v_cvt_f32(
                cv::v_int32x4(lowerLeft[v[0]], lowerLeft[v[1]], lowerLeft[v[2]], lowerLeft[v[3]]));
            const cv::v_float32x4 d = cv::v_cvt_f32(
                cv::v_int32x4(lowerRight[v[0]], lowerRight[v[1]], lowerRight[v[2]], lowerRight[v[3]]));
            const cv::v_float32x4 left = cv::v_load(leftWeight + col);
            const cv::v_float32x4 right = cv::v_load(rightWeight + col);
            const cv::v_float32x4 level =
                (a * left + b * right) * upperWeights + (c * left + d * right) * lowerWeights;
            cv::v_pack_u_store(out + col, cv::v_round(level));
        }
        for (; col < span.end; ++col) {
            const int value = in[col];
            const float level =
                (float(upperLeft[value]) * leftWeight[col] + float(upperRight[value]) * rightWeight[col]) *
                    upperWeight +
                (float(lowerLeft[value]) * leftWeight[col] + float(lowerRight[value]) * rightWeight[col]) *
                    lowerWeight;
            out[col] = cv::saturate_cast<quint16>(level);
        }
    }
}
