#include "ImgSearchWorker.h"

#include "ImgAdjUtil.h"
#include "RawFrame.h"
#include "VornFrame.h"

ImgSearchWorker::ImgSearchWorker(int level, ImgSearch::RefFrame refFrame, const ImgAdjBlock& block,
                                 const ImgAdjUtil* util)
    : m_level(level), m_refFrame(refFrame), m_block(block), m_util(util)
{
}

RawFrame* ImgSearchWorker::senderFrame() const
{
    // The RawFrame lives in the main thread, which leaves it alone from the
    // moment it signals completion until this worker schedules its deletion.
    return qobject_cast<RawFrame*>(sender());
}

void ImgSearchWorker::init()
{
    RawFrame* frame = senderFrame();
    if (!frame)
        return;
    // Made here so that they live in the search thread with the worker and
    // die with it; bound to the worker's own copy of the block.
    if (!m_a) {
        m_a = new VornFrame(&m_block, this, m_util);
        m_a->setObjectName(QStringLiteral("A"));
        m_b = new VornFrame(&m_block, this, m_util);
        m_b->setObjectName(QStringLiteral("B"));
    }
    m_a->setRawFrame(frame);
    m_util->gray16(m_a->display(), m_a->height(), m_a->width(), m_greyA);
    m_next = m_b;
    frame->deleteLater();
    emit compareReady();
}

void ImgSearchWorker::compare()
{
    RawFrame* frame = senderFrame();
    if (!frame || !m_next)
        return;
    m_next->setRawFrame(frame);

    // The grey of the processed picture with its overlays, as the user sees
    // it (the same grey that VornFrame::gray16Image() makes, as a sample
    // list). The reference's grey was made when it arrived.
    QList<quint16>& grey = m_next == m_a ? m_greyA : m_greyB;
    m_util->gray16(m_next->display(), m_next->height(), m_next->width(), grey);
    if (m_util->differs(m_greyA, m_greyB, m_a->height(), m_a->width(), m_level)) {
        // The frame stays with the search, which releases it when it stops.
        emit found();
        return;
    }

    // PreviousFrame: alternate, so that the next comparison is between the
    // two most recently examined frames. StartFrame: "A" keeps the start.
    if (m_refFrame == ImgSearch::PreviousFrame)
        m_next = m_next == m_a ? m_b : m_a;
    frame->deleteLater();
    emit compareReady();
}
