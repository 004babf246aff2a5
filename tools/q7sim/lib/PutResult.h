#pragma once

#include <QString>

namespace q7sim {

// Outcome of a write or command: an HTTP status and, on failure, the text the
// camera puts in its {"error": ...} reply.
struct PutResult
{
    int status = 200;
    QString error;

    bool ok() const { return status >= 200 && status < 300; }
    static PutResult success() { return {}; }
    static PutResult failure(int status, const QString& error) { return {status, error}; }
};

} // namespace q7sim
