#include "VornReader.h"

void VornReader::setError(const QString& text)
{
    if (text == m_error)
        return;
    m_error = text;
    emit errorChanged();
}
