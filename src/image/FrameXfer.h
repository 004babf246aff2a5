#pragma once

#include "FrameLimits.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

class QNetworkReply;
class RawFrame;

// Single-frame transfers: one POST /xfer whose reply body is one frame record.
namespace FrameXfer {

// Body of one frame of a take (src 0 memory, 2 SSD).
QByteArray takeFrameBody(int source, int take, qint64 frame);
// Body of the camera's live sensor image.
QByteArray liveFrameBody();
// Body of a range of a take for the streaming reader.
QByteArray rangeBody(int type, int source, int take, qint64 start, qint64 count);

// What the asking object knows of its frames (a take: the geometry of its
// "res" value and its metadata size); 0 where it knows nothing.
struct Expected
{
    quint16 width = 0;
    quint16 height = 0;
    quint32 metaSize = 0;
};

// The sizes a single-frame reply announces, as sent (wider than the frame's
// own fields, so that an announced 70000 is not read as 4464).
struct Announced
{
    quint32 width = 0;
    quint32 height = 0;
    quint32 imgSize = 0;
    quint32 metaSize = 0;
};

// A single-frame body never needs more: a larger one is cut off unread.
constexpr qint64 MaxBodyBytes = qint64(FrameLimits::MaxMetaSize) + FrameLimits::MaxImgSize;

// Whether a reply announcing `sizes` with `bodySize` body bytes (-1 while
// the body has not arrived) holds a frame the pipeline may take: a shape
// within FrameLimits and not empty, image size = width x height, the
// expected geometry where known, and at least one whole record in the body.
bool acceptable(const Announced& sizes, qint64 bodySize, const Expected& expected = Expected());

// Fetches one frame into `frame`; the frame signals initFinished() or
// initError(). The year offset comes from the object that asked (the frame's
// nearest VornObject ancestor) when the reply arrives. A reply whose sizes
// are not acceptable fails: it is logged once per asking object ("bad frame
// size from camera") and nothing is sized by its numbers. Returns 0 when
// the request went out, -1 without a frame or a network manager.
int postFrameXfer(RawFrame* frame, const QHostAddress& camera, const QByteArray& body,
                  const Expected& expected = Expected());

// The size headers of a single-frame reply: the "Img-" trio when the reply
// has "Img-Width", else the "Fr-" trio, and "Meta-Size".
Announced announced(const QNetworkReply* reply);

// Size headers of a transfer reply: the "Img-" form when the reply has it,
// else the "Fr-" form; a missing header reads as 0.
quint32 imageSize(const QNetworkReply* reply);
quint32 metaSize(const QNetworkReply* reply);

} // namespace FrameXfer
