#include "SaveFileName.h"

#include "VornApp.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kSeqKey = QStringLiteral("save/filename_seq");

SaveFileName::Token makeToken(const QString& piece)
{
    struct Tag
    {
        const char* name;
        SaveFileName::Token::Type type;
        bool takesWidth;
    };
    static const Tag tags[] = {
        {"fr", SaveFileName::Token::FrameNumber, true},
        {"seq", SaveFileName::Token::SequenceNumber, true},
        {"name", SaveFileName::Token::Name, false},
    };
    const QString name = piece.section(QLatin1Char(':'), 0, 0);
    const QString argument = piece.section(QLatin1Char(':'), 1, 1);
    SaveFileName::Token token;
    for (const Tag& tag : tags) {
        if (name == QLatin1String(tag.name)) {
            token.type = tag.type;
            if (tag.takesWidth)
                token.width = argument.toInt();
            return token;
        }
    }
    token.text = piece;
    token.text.remove(QLatin1Char(':'));
    return token;
}

QString number(qint64 value, int width)
{
    // A width beyond what a file name can hold is no width worth building.
    return QStringLiteral("%1").arg(value, qBound(-255, width, 255), 10, QLatin1Char('0'));
}

} // namespace

SaveFileName::SaveFileName(const QString& folder, const QString& nameTemplate, Util::Format format,
                           qint64 startFr, const QString& name)
    : m_folder(folder), m_tokens(parse(nameTemplate)), m_ext(Util::formatExtension(format)),
      m_frBase(startFr), m_name(name)
{
    if (Util::isImageSequence(format))
        return;
    VornApp* app = VornApp::instance();
    if (!app)
        return;
    m_seqBase = app->setting(kSeqKey, 0).toLongLong();
    for (const Token& token : std::as_const(m_tokens)) {
        if (token.type == Token::SequenceNumber) {
            app->setSetting(kSeqKey, m_seqBase + 1);
            break;
        }
    }
}

QList<SaveFileName::Token> SaveFileName::parse(const QString& nameTemplate)
{
    static const QRegularExpression pieces(QStringLiteral("<(.*?)>|([^<>]+)"));
    QList<Token> tokens;
    auto it = pieces.globalMatch(nameTemplate);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        tokens.append(makeToken(match.capturedStart(2) >= 0 ? match.captured(2) : match.captured(1)));
    }
    return tokens;
}

bool SaveFileName::hasNumberTag() const
{
    for (const Token& token : m_tokens) {
        if (token.type == Token::FrameNumber || token.type == Token::SequenceNumber)
            return true;
    }
    return false;
}

QString SaveFileName::expand(qint64 k) const
{
    QString text;
    for (const Token& token : m_tokens) {
        switch (token.type) {
        case Token::Literal:
            text += token.text;
            break;
        case Token::FrameNumber:
            text += number(m_frBase + k, token.width);
            break;
        case Token::SequenceNumber:
            text += number(m_seqBase + k, token.width);
            break;
        case Token::Name:
            text += m_name;
            break;
        }
    }
    return text;
}

QString SaveFileName::filePath(qint64 k, const QString& suffix) const
{
    return m_folder + QLatin1Char('/') + expand(k) + suffix + QLatin1Char('.') + m_ext;
}

int SaveFileName::firstFreeSuffix(qint64 k) const
{
    int n = 2;
    while (QFileInfo::exists(filePath(k, suffixText(n))))
        ++n;
    return n;
}
