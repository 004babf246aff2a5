#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPair>
#include <functional>

// What the fuzz entry points share: the one application object, a network
// manager whose replies come from the fuzz input instead of a camera, and
// the input format of a reply.
namespace Fuzz {

// One reply as the input describes it. An input part may start with a head
// like the one curl -i prints (a status line, header lines, a blank line);
// without one it is all body, status 200. Header lines named X-Fuzz-... steer
// the entry point and are not part of the reply.
struct Answer
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QList<QPair<QByteArray, QByteArray>> controls; // the X-Fuzz-... lines, name without the prefix
    QByteArray body;
    // A transport failure (a QNetworkReply::NetworkError) instead of an answer
    // with a status; the body that arrived before it is still delivered.
    int transportError = 0;
    qint64 chunk = 0; // bytes per readyRead(); 0: the body in one piece

    QByteArray control(const char* name, const QByteArray& fallback = QByteArray()) const;
    qint64 controlNumber(const char* name, qint64 fallback, qint64 min, qint64 max) const;
};

Answer parseAnswer(const QByteArray& part);
// Inputs made of several replies separate them by a line "--next--".
QList<QByteArray> splitParts(const QByteArray& data);

// Answers every request the program makes from the fuzz input, in this
// process: nothing leaves it.
class Network : public QNetworkAccessManager
{
public:
    using Responder = std::function<Answer(Operation op, const QString& path)>;

    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Runs queued signals and deferred deletes until no reply is left to
    // deliver; false if that did not happen within the round limit.
    bool settle();
    // Releases replies the program left behind and forgets the responder.
    void reset();

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request,
                                 QIODevice* outgoingData) override;

private:
    Responder m_responder;
};

// The headless application object (created once per process, with its user
// folders in a temporary folder and log output dropped) and its network.
Network& network();
// A folder for the files an entry point writes; emptied by each call.
QString scratchFolder();
// Ends the run with a message when an entry point finds the program in a
// state it must never reach: the fuzzer reports it like a crash.
void check(bool condition, const char* what);

} // namespace Fuzz

// The entry points, one per parser of untrusted input (fuzz_*.cpp).
int fuzzVornFile(const uint8_t* data, size_t size);
int fuzzState(const uint8_t* data, size_t size);
int fuzzXfer(const uint8_t* data, size_t size);
int fuzzSsdLs(const uint8_t* data, size_t size);
int fuzzManifest(const uint8_t* data, size_t size);
int fuzzSettings(const uint8_t* data, size_t size);
