#pragma once

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

// Fetches one frame into `frame`; the frame signals initFinished() or
// initError(). The year offset comes from the object that asked (the frame's
// nearest VornObject ancestor) when the reply arrives. Returns 0 when the
// request went out, -1 without a frame or a network manager.
int postFrameXfer(RawFrame* frame, const QHostAddress& camera, const QByteArray& body);

// Size headers of a transfer reply: the "Img-" form when the reply has it,
// else the "Fr-" form; a missing header reads as 0.
quint32 imageSize(const QNetworkReply* reply);
quint32 metaSize(const QNetworkReply* reply);

} // namespace FrameXfer
