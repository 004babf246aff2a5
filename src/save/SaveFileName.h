#pragma once

#include "Util.h"

#include <QList>
#include <QString>

// The output name of a save: a folder, a name template parsed into tokens and
// the format's extension. Templates mix literal text with the tags <fr:W>
// (frame number), <seq:W> (running number kept in the settings) and <name>
// (the source's name); W is an optional zero-padded width.
class SaveFileName
{
public:
    struct Token
    {
        enum Type { Literal = 0, FrameNumber = 1, SequenceNumber = 2, Name = 3 };
        Type type = Literal;
        QString text;
        int width = 0;
    };

    SaveFileName() = default;
    // Parses the template. Every format but TIFF takes its sequence number
    // from "save/filename_seq" and, when the template uses it, advances the
    // setting, so each such save gets the next number, across restarts.
    SaveFileName(const QString& folder, const QString& nameTemplate, Util::Format format, qint64 startFr,
                 const QString& name);

    static QList<Token> parse(const QString& nameTemplate);

    void setTemplate(const QString& nameTemplate) { m_tokens = parse(nameTemplate); }
    void appendToTemplate(const QString& text) { m_tokens += parse(text); }
    // The camera names SSD files itself; the job then shows that name.
    void setExt(const QString& ext) { m_ext = ext; }
    bool hasNumberTag() const;

    // The name for frame offset k (images of a sequence count k up from 0).
    QString expand(qint64 k) const;
    QString filePath(qint64 k, const QString& suffix = QString()) const;
    // The first n >= 2 for which the path with " (n)" before the extension
    // is free.
    int firstFreeSuffix(qint64 k) const;
    static QString suffixText(int n) { return QStringLiteral(" (%1)").arg(n); }

    const QString& folder() const { return m_folder; }
    const QString& ext() const { return m_ext; }
    const QList<Token>& tokens() const { return m_tokens; }
    qint64 seqBase() const { return m_seqBase; }

private:
    QString m_folder;
    QList<Token> m_tokens;
    QString m_ext;
    qint64 m_frBase = 0;
    qint64 m_seqBase = 0;
    QString m_name;
};
