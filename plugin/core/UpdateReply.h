// Reading the update server's reply: a status line whose second field is the status
// code, header lines, an empty line, and a body of key=value pairs joined by "&"
// ("Software=1.0.72&Firmware=0.3.012"). Only the first block of at most 2048
// characters is read; anything the server sends after it is lost.
//
// The server is outside input. A reply that cannot be read is a failed check with a
// reason, never a guess: no status code, a header that does not end, a body that is
// shorter than the header announced or that runs past the block, broken chunks. Parts
// of a body that cannot be stored are left out one by one and listed: a part without
// "=", a key that is empty or holds anything but letters, digits, "_", "-" and "." (it
// would name a value outside the "Latest_" values), a value with control characters.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace qel {

// How much of a reply the update check reads.
inline constexpr int kUpdateReplyBlock = 2048;

struct UpdatePair {
    QString key;  // stored as "Latest_" + key
    QString value;
};

struct UpdateReply {
    enum class Outcome {
        Ok,           // status 200 and a readable body: store `pairs`
        ServerError,  // a status other than 200: nothing to store
        Unreadable,   // see `problem`: nothing to store
    };
    Outcome outcome = Outcome::Unreadable;
    QString status;   // the status code as the server wrote it
    QString problem;  // why an unreadable reply cannot be read, for the person
    std::vector<UpdatePair> pairs;
    QStringList skipped;  // body parts left out, as they stood
};

// True once `received` holds all there is to read: the header has ended and the status
// is not 200, or the body is as long as the header announced (a Content-Length, or the
// last chunk of a chunked body), or it is plain that more will not help (a broken
// length or chunk). A reply that announces no length ends when the server closes.
bool UpdateReplyComplete(const QByteArray& received);

// Reads the first block of a reply: at most kUpdateReplyBlock bytes are looked at, and a
// longer `block` says that the reply went on past the block. `serverClosed`: the server
// closed the connection right after `block`, so a body that announces no length ends
// with it; otherwise such a body is incomplete.
UpdateReply ParseUpdateReply(const QByteArray& block, bool serverClosed);

// Whether "Latest_" + `key` may be stored: 1 to 64 letters, digits, "_", "-", ".".
bool IsUpdateKey(const QString& key);

}  // namespace qel
