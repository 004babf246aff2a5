#include "VornWriterWorker.h"

#include <QThread>

bool VornWriterWorker::stopRequested()
{
    return QThread::currentThread()->isInterruptionRequested();
}
