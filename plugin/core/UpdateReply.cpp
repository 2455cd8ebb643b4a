#include "core/UpdateReply.h"

#include "core/Text.h"

#include <optional>

namespace qel {
namespace {

const QByteArray kCrLf("\r\n");
constexpr int kMaxKeyLength = 64;
// A chunk size of more hex digits than this would not fit in the block anyway.
constexpr int kMaxChunkDigits = 8;

bool IsBlank(QByteArrayView line) {
    for (char c : line) {
        if (c != ' ') return false;
    }
    return true;
}

// Where the header ends: the lines before the first CRLF-terminated line that is
// empty after trimming spaces, and the offset of the body after it.
struct Header {
    QStringList lines;  // trimmed
    qsizetype bodyStart = -1;
};

std::optional<Header> SplitHeader(QByteArrayView text) {
    Header header;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(kCrLf, start);
        if (end < 0) return std::nullopt;
        const QByteArrayView line = text.sliced(start, end - start);
        start = end + kCrLf.size();
        if (IsBlank(line)) break;
        header.lines.append(QString::fromLatin1(line).trimmed());
    }
    header.bodyStart = start;
    return header;
}

QString StatusOf(const QString& firstLine) {
    return Field(firstLine, 2, QLatin1Char(' ')).trimmed();
}

// The value of the first header field `name` (without the status line), if any.
std::optional<QString> HeaderValue(const QStringList& lines, QLatin1StringView name) {
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        if (line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

struct Body {
    enum class State { Complete, Incomplete, Broken };
    State state = State::Incomplete;
    QByteArray bytes;
    QString problem;
};

Body Broken(const QString& problem) {
    return {Body::State::Broken, {}, problem};
}

Body Incomplete() {
    return {Body::State::Incomplete, {}, QStringLiteral("the reply is incomplete")};
}

Body Dechunk(QByteArrayView raw) {
    Body body;
    qsizetype at = 0;
    for (;;) {
        const qsizetype end = raw.indexOf(kCrLf, at);
        if (end < 0) return Incomplete();
        QByteArrayView sizeText = raw.sliced(at, end - at);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText = sizeText.first(semicolon);
        sizeText = sizeText.trimmed();
        bool ok = false;
        const qsizetype size =
            sizeText.size() <= kMaxChunkDigits ? sizeText.toLongLong(&ok, 16) : 0;
        if (!ok || size < 0) return Broken(QStringLiteral("a chunk of the reply is broken"));
        at = end + kCrLf.size();
        if (size == 0) {
            body.state = Body::State::Complete;
            return body;
        }
        if (raw.size() - at < size + kCrLf.size()) return Incomplete();
        if (raw.sliced(at + size, kCrLf.size()) != kCrLf)
            return Broken(QStringLiteral("a chunk of the reply is broken"));
        body.bytes.append(raw.sliced(at, size));
        at += size + kCrLf.size();
    }
}

Body BodyOf(const Header& header, QByteArrayView text, bool serverClosed) {
    const QByteArrayView raw = text.sliced(header.bodyStart);
    if (const auto coding = HeaderValue(header.lines, QLatin1StringView("Transfer-Encoding"))) {
        if (coding->contains(QLatin1StringView("chunked"), Qt::CaseInsensitive))
            return Dechunk(raw);
    }
    if (const auto length = HeaderValue(header.lines, QLatin1StringView("Content-Length"))) {
        bool ok = false;
        const qlonglong n = length->toLongLong(&ok);
        if (!ok || n < 0 || length->startsWith(QLatin1Char('+')))
            return Broken(QStringLiteral("the reply's length is not a number"));
        if (n > raw.size()) return Incomplete();
        return {Body::State::Complete, raw.first(n).toByteArray(), {}};
    }
    if (!serverClosed) return Incomplete();
    return {Body::State::Complete, raw.toByteArray(), {}};
}

bool HasControl(const QString& text) {
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control) return true;
    }
    return false;
}

void ReadPairs(const QByteArray& bytes, UpdateReply& reply) {
    QString body;
    for (const QString& line : QString::fromLatin1(bytes).split(QLatin1StringView("\r\n"))) {
        body += line.trimmed();
    }
    for (const QString& piece : body.split(QLatin1Char('&'))) {
        const QString part = piece.trimmed();
        if (part.isEmpty()) continue;  // "a=1&&b=2" or a trailing "&": nothing there
        if (!part.contains(QLatin1Char('='))) {
            reply.skipped.append(part);
            continue;
        }
        const QString key = Field(part, 1, QLatin1Char('=')).trimmed();
        const QString value = Field(part, 2, QLatin1Char('=')).trimmed();
        if (!IsUpdateKey(key) || HasControl(value)) {
            reply.skipped.append(part);
            continue;
        }
        reply.pairs.push_back({key, value});
    }
}

}  // namespace

bool IsUpdateKey(const QString& key) {
    if (key.isEmpty() || key.size() > kMaxKeyLength) return false;
    for (QChar c : key) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                             (u >= '0' && u <= '9') || u == '_' || u == '-' || u == '.';
        if (!allowed) return false;
    }
    return true;
}

bool UpdateReplyComplete(const QByteArray& received) {
    const QByteArrayView text =
        QByteArrayView(received).first(std::min<qsizetype>(received.size(), kUpdateReplyBlock));
    const auto header = SplitHeader(text);
    if (!header) return false;
    if (header->lines.isEmpty() || StatusOf(header->lines.front()) != QLatin1StringView("200"))
        return true;
    return BodyOf(*header, text, false).state != Body::State::Incomplete;
}

UpdateReply ParseUpdateReply(const QByteArray& block, bool serverClosed) {
    UpdateReply reply;
    const QByteArrayView text =
        QByteArrayView(block).first(std::min<qsizetype>(block.size(), kUpdateReplyBlock));
    const qsizetype firstEnd = text.indexOf(kCrLf);
    const QString firstLine =
        QString::fromLatin1(firstEnd < 0 ? text : text.first(firstEnd)).trimmed();
    reply.status = StatusOf(firstLine);
    if (reply.status.isEmpty()) {
        reply.problem = QStringLiteral("the server sent no status code");
        return reply;
    }
    if (reply.status != QLatin1StringView("200")) {
        reply.outcome = UpdateReply::Outcome::ServerError;
        return reply;
    }
    const auto header = SplitHeader(text);
    if (!header) {
        reply.problem = block.size() > kUpdateReplyBlock
                            ? QStringLiteral("the reply is too long")
                            : QStringLiteral("the reply is incomplete");
        return reply;
    }
    const Body body = BodyOf(*header, text, serverClosed && block.size() <= kUpdateReplyBlock);
    if (body.state != Body::State::Complete) {
        reply.problem = body.state == Body::State::Incomplete && block.size() > kUpdateReplyBlock
                            ? QStringLiteral("the reply is too long")
                            : body.problem;
        return reply;
    }
    ReadPairs(body.bytes, reply);
    reply.outcome = UpdateReply::Outcome::Ok;
    return reply;
}

}  // namespace qel
