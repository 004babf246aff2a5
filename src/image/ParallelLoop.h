#pragma once

#include <opencv2/core/utility.hpp>

// OpenCV's parallel loop over any callable without wrapping it in a
// std::function, which would allocate for a lambda that captures more than
// two references: the per-pixel steps of a displayed frame then allocate
// nothing.
namespace ParallelLoop {

template <typename Body> class LoopBody : public cv::ParallelLoopBody
{
public:
    explicit LoopBody(const Body& body) : m_body(body) {}
    void operator()(const cv::Range& range) const override { m_body(range); }

private:
    const Body& m_body;
};

template <typename Body> void run(const cv::Range& range, const Body& body, double stripes = -1.0)
{
    cv::parallel_for_(range, LoopBody<Body>(body), stripes);
}

} // namespace ParallelLoop
