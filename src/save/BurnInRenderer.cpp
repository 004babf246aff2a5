#include "BurnInRenderer.h"

#include "PlaybackVornObject.h"
#include "SaveJob.h"
#include "VornFrame.h"
#include "VornObject.h"
#include "VornValue.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <algorithm>
#include <cmath>

namespace {

// Every character the time, frame and trigger lines can hold.
const QString FixedCharacters = QStringLiteral("0123456789+-.:TZ msFrameTriggr");
constexpr int MaxCameraText = 80;

QByteArray fontData()
{
    // The font the window uses, from the program's resources.
    QFile file(QStringLiteral(":/Inter-Regular.ttf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

BurnInRenderer::BurnInRenderer(const BurnInOptions& options, QSize pictureSize, const QString& cameraText,
                               double framePeriod)
    // A camera's name is the camera's to choose: the line is cut to a length
    // that sizes the text block sensibly.
    : m_options(options), m_cameraText(cameraText.left(MaxCameraText)), m_framePeriod(framePeriod)
{
    if (!options.active() || pictureSize.isEmpty())
        return;
    // Four lines take about a fifth of a picture's short side from 1080
    // lines up; small pictures get a size still readable.
    const int side = std::min(pictureSize.width(), pictureSize.height());
    m_pixelSize = std::clamp(int(std::lround(side / 36.0)), 11, 400);
    m_outline = std::max(1, int(std::lround(m_pixelSize / 12.0)));
    prepareGlyphs(FixedCharacters + (options.lines & BurnInOptions::CameraLine ? m_cameraText : QString()));
}

void BurnInRenderer::prepareGlyphs(const QString& characters)
{
    QRawFont font;
    font.loadFromData(fontData(), m_pixelSize, QFont::PreferNoHinting);
    if (!font.isValid()) {
        qWarning() << "burn-in: no font";
        return;
    }
    m_ascent = int(std::ceil(font.ascent()));
    m_lineHeight = m_ascent + int(std::ceil(font.descent())) + 2 * m_outline + 2;
    const int o = m_outline;
    for (const QChar c : characters) {
        if (m_glyphs.contains(c))
            continue;
        const QList<quint32> indexes = font.glyphIndexesForString(QString(c));
        if (indexes.isEmpty())
            continue;
        const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes);
        const QPainterPath path = font.pathForGlyph(indexes.first());
        Glyph glyph;
        glyph.advance = advances.value(0).x();
        const QRectF bounds = path.boundingRect();
        if (!path.isEmpty() && !bounds.isEmpty()) {
            glyph.offset =
                QPoint(int(std::floor(bounds.left())) - o - 1, int(std::floor(bounds.top())) - o - 1);
            const QSize size(int(std::ceil(bounds.right())) + o + 2 - glyph.offset.x(),
                             int(std::ceil(bounds.bottom())) + o + 2 - glyph.offset.y());
            for (QImage* mask : {&glyph.outline, &glyph.body}) {
                *mask = QImage(size, QImage::Format_Alpha8);
                mask->fill(0);
                QPainter painter(mask);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.translate(-glyph.offset);
                // The outline is a stroke around the glyph together with
                // its body, so that the body's soft edge lies on black.
                painter.setPen(mask == &glyph.outline
                                   ? QPen(Qt::black, 2.0 * o, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                                   : QPen(Qt::NoPen));
                painter.setBrush(Qt::black);
                painter.drawPath(path);
            }
        }
        m_glyphs.insert(c, glyph);
        if (c.isDigit())
            m_figureAdvance = std::max(m_figureAdvance, glyph.advance);
    }
}

QString BurnInRenderer::frameText(qint64 fr)
{
    return QStringLiteral("Frame %1").arg(fr);
}

QString BurnInRenderer::triggerText(qint64 fr, double framePeriod)
{
    const qint64 us = std::llround(double(fr) * framePeriod * 1e6);
    const qint64 magnitude = us < 0 ? -us : us;
    return QStringLiteral("Trigger %1%2.%3 ms")
        .arg(us < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

QString BurnInRenderer::cameraText(const SaveJob* job)
{
    const QString separator = QStringLiteral(" \u00b7 ");
    switch (job->sourceType()) {
    case SaveJob::TakeSourceType:
        return job->sourceCameraName() + separator + QStringLiteral("Take %1").arg(job->sourceTakeId());
    case SaveJob::SsdTakeSourceType:
        return job->sourceCameraName() + separator + QFileInfo(job->sourceFileName()).completeBaseName();
    default: {
        const auto* name =
            job->source() ? job->source()->property("cameraName").value<VornValue*>() : nullptr;
        const QString camera = name ? name->value().toString() : QString();
        return camera.isEmpty() ? QFileInfo(job->sourceFileName()).completeBaseName() : camera;
    }
    }
}

double BurnInRenderer::framePeriod(const PlaybackVornObject* source)
{
    if (!source)
        return 0;
    const auto* frClks = source->property("frClks").value<VornValue*>();
    const double clocks = frClks ? frClks->value().toDouble() : 0;
    const double frequency = source->clkFreqValue() ? source->clkFreqValue()->value().toDouble() : 0;
    if (clocks > 0 && frequency > 0)
        return clocks / frequency;
    const auto* frRate = source->property("frRate").value<VornValue*>();
    const double rate = frRate ? frRate->value().toDouble() : 0;
    return rate > 0 ? 1.0 / rate : 0;
}

BurnInRenderer BurnInRenderer::forJob(const SaveJob* job, QSize pictureSize)
{
    if (!job->burnIn().active())
        return BurnInRenderer();
    return BurnInRenderer(job->burnIn(), pictureSize, cameraText(job), framePeriod(job->source()));
}

QStringList BurnInRenderer::linesFor(qint64 fr, quint64 seconds, quint32 nanoseconds) const
{
    QStringList lines;
    if (m_options.lines & BurnInOptions::TimeLine)
        lines.append(VornObject::timeText(seconds, nanoseconds));
    if (m_options.lines & BurnInOptions::FrameLine)
        lines.append(frameText(fr));
    if (m_options.lines & BurnInOptions::TriggerLine)
        lines.append(triggerText(fr, m_framePeriod));
    if (m_options.lines & BurnInOptions::CameraLine)
        lines.append(m_cameraText);
    return lines;
}

QStringList BurnInRenderer::linesFor(qint64 fr, const VornFrame& frame) const
{
    return linesFor(fr, frame.yearOffset() + frame.seconds(), frame.nanoseconds());
}

int BurnInRenderer::lineWidth(const QString& line) const
{
    double pen = m_outline + 1;
    for (const QChar c : line) {
        const auto glyph = m_glyphs.constFind(c);
        if (glyph != m_glyphs.cend())
            pen += c.isDigit() ? m_figureAdvance : glyph->advance;
    }
    return int(std::ceil(pen)) + m_outline + 2;
}

bool BurnInRenderer::layout(const QStringList& lines)
{
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, lineWidth(line));
    const QSize block(width, m_lineHeight * int(lines.size()));
    if (block == m_block && lines.size() == m_shown.size())
        return false;
    m_block = block;
    const size_t bytes = size_t(block.width()) * size_t(block.height());
    m_outlineMask.assign(bytes, 0);
    m_bodyMask.assign(bytes, 0);
    m_shown = QStringList();
    for (qsizetype i = 0; i < lines.size(); ++i)
        m_shown.append(QString());
    return true;
}

void BurnInRenderer::update(const QStringList& lines)
{
    const bool fresh = layout(lines);
    for (int i = 0; i < int(lines.size()); ++i) {
        if (fresh || lines.at(i) != m_shown.at(i)) {
            stampLine(i, lines.at(i));
            m_shown[i] = lines.at(i);
        }
    }
}

void BurnInRenderer::stampLine(int index, const QString& line)
{
    const int w = m_block.width();
    const int bandTop = index * m_lineHeight;
    const int bandBottom = bandTop + m_lineHeight;
    std::fill(m_outlineMask.begin() + qsizetype(bandTop) * w,
              m_outlineMask.begin() + qsizetype(bandBottom) * w, 0);
    std::fill(m_bodyMask.begin() + qsizetype(bandTop) * w, m_bodyMask.begin() + qsizetype(bandBottom) * w, 0);
    const bool right =
        m_options.corner == BurnInOptions::TopRight || m_options.corner == BurnInOptions::BottomRight;
    double pen = m_outline + 1 + (right ? w - lineWidth(line) : 0);
    const int baseline = bandTop + m_outline + 1 + m_ascent;
    for (const QChar c : line) {
        const auto found = m_glyphs.constFind(c);
        if (found == m_glyphs.cend())
            continue;
        const Glyph& glyph = *found;
        const double shift = c.isDigit() ? (m_figureAdvance - glyph.advance) / 2 : 0;
        const QPoint at(int(std::lround(pen + shift)) + glyph.offset.x(), baseline + glyph.offset.y());
        pen += c.isDigit() ? m_figureAdvance : glyph.advance;
        const int rows = glyph.outline.height();
        const int cols = glyph.outline.width();
        for (int y = std::max(0, bandTop - at.y()); y < rows && at.y() + y < bandBottom; ++y) {
            const uchar* outline = glyph.outline.constScanLine(y);
            const uchar* body = glyph.body.constScanLine(y);
            uchar* outlineRow = m_outlineMask.data() + qsizetype(at.y() + y) * w;
            uchar* bodyRow = m_bodyMask.data() + qsizetype(at.y() + y) * w;
            for (int x = std::max(0, -at.x()); x < cols && at.x() + x < w; ++x) {
                outlineRow[at.x() + x] = std::max(outlineRow[at.x() + x], outline[x]);
                bodyRow[at.x() + x] = std::max(bodyRow[at.x() + x], body[x]);
            }
        }
    }
}

template <typename Sample> void BurnInRenderer::blend(const Picture& picture)
{
    const int margin = std::max(2, m_pixelSize / 2);
    const int left =
        m_options.corner == BurnInOptions::TopLeft || m_options.corner == BurnInOptions::BottomLeft
            ? margin
            : picture.width - margin - m_block.width();
    const int top = m_options.corner == BurnInOptions::TopLeft || m_options.corner == BurnInOptions::TopRight
                        ? margin
                        : picture.height - margin - m_block.height();
    m_region = QRect(QPoint(left, top), m_block) & QRect(0, 0, picture.width, picture.height);
    const quint64 white = (picture.sixteenBits ? 0xFFFF : 0xFF) * quint64(255);
    for (int y = m_region.top(); y <= m_region.bottom(); ++y) {
        uchar* row = picture.origin + qsizetype(y) * picture.rowBytes;
        const qsizetype maskRow = qsizetype(y - top) * m_block.width() - left;
        for (int x = m_region.left(); x <= m_region.right(); ++x) {
            const quint64 outline = m_outlineMask[size_t(maskRow + x)];
            const quint64 body = m_bodyMask[size_t(maskRow + x)];
            if (outline == 0 && body == 0)
                continue;
            // Black outline over the picture, then the white body over that.
            const quint64 keep = (255 - outline) * (255 - body);
            auto* pixel = reinterpret_cast<Sample*>(row + qsizetype(x) * picture.pixelBytes);
            for (int c = 0; c < picture.channels; ++c)
                pixel[c] = Sample((pixel[c] * keep + white * body + 32512) / 65025);
        }
    }
}

void BurnInRenderer::draw(const Picture& picture, const QStringList& lines)
{
    m_region = QRect();
    if (!isActive() || !picture.origin || picture.width <= 0 || picture.height <= 0)
        return;
    update(lines);
    if (picture.sixteenBits)
        blend<quint16>(picture);
    else
        blend<quint8>(picture);
}

void BurnInRenderer::draw(QImage* picture, const QStringList& lines)
{
    if (!picture || picture->isNull())
        return;
    Picture p{nullptr, picture->bytesPerLine(), 3, 3, false, picture->width(), picture->height()};
    switch (picture->format()) {
    case QImage::Format_BGR888:
    case QImage::Format_RGB888:
        break;
    case QImage::Format_Grayscale8:
        p.pixelBytes = p.channels = 1;
        break;
    case QImage::Format_Grayscale16:
        p.pixelBytes = 2;
        p.channels = 1;
        p.sixteenBits = true;
        break;
    default:
        m_region = QRect();
        return;
    }
    p.origin = picture->bits();
    draw(p, lines);
}
