#pragma once

#include <QtGlobal>
#include <array>
#include <opencv2/core.hpp>
#include <vector>

// Contrast-limited adaptive histogram equalisation of a 16-bit grey picture
// on an 8 x 8 grid of tiles, giving exactly what OpenCV's CLAHE gives for the
// same clip limit, sample for sample, but fast enough for every displayed
// frame.
//
// OpenCV builds one 65536-entry table per tile from a histogram it clears,
// clips and sums in three passes, then reads four of those 64 tables (8 MB)
// for every pixel. Here each table is made in one pass that also clears the
// histogram for the next tile, the tables are kept from frame to frame (no
// allocation while the picture size stays), and the picture is equalised in
// rows handed out by the caller, so that equalising can be fused with what
// follows while the rows are in the cache.
class Clahe16
{
public:
    static constexpr int GridSize = 8;

    explicit Clahe16(double clipLimit = 2.0) : m_clipLimit(clipLimit) {}

    // Builds the tiles' tables from a CV_16UC1 picture, on OpenCV's thread
    // pool. Pictures too small for the grid are left to OpenCV (see
    // equalises()).
    void buildTables(const cv::Mat& grey);
    // Whether this picture size is equalised here; otherwise use
    // cv::createCLAHE directly.
    static bool equalises(int rows, int cols) { return rows >= 2 * GridSize && cols >= 2 * GridSize; }

    // Equalised row `row` of the picture the tables were built from, cols
    // samples into out.
    void equaliseRow(const cv::Mat& grey, int row, quint16* out) const;

private:
    double m_clipLimit;
    cv::Size m_size;
    cv::Size m_tileSize;
    int m_clip = 0;
    float m_lutScale = 0.0f;
    // GridSize * GridSize tables of 65536 entries, tile by tile in row order.
    std::vector<quint16> m_tables;
    // A run of columns between the same two tile columns: the offsets of
    // their tables within a row of tables.
    struct Span
    {
        int first;
        int end;
        int leftTable;
        int rightTable;
    };
    std::vector<Span> m_spans;
    // Per column: the weights of the tables left and right of it.
    std::vector<float> m_leftWeight;
    std::vector<float> m_rightWeight;
    // Source rows and columns of the picture extended to a whole number of
    // tiles (OpenCV reflects the picture about its last row and column).
    std::vector<int> m_extRows;
    std::vector<int> m_extCols;

    // The lowest and highest level of a tile's pixels (low > high: none).
    struct Levels
    {
        int low;
        int high;
    };
    std::array<Levels, GridSize * GridSize> m_levels;

    void prepare(const cv::Mat& grey);
    Levels levelsAround(int tile) const;
    void buildTable(const cv::Mat& grey, int tile, std::vector<quint32>& histogram);
};
