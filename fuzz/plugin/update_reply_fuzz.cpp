// Fuzz target: the update server's reply as the update check reads it. The first input
// byte says whether the server closed the connection after the rest, which is the reply.
// Besides not crashing, the reading must keep its promises: nothing stored from a reply
// it refused, no key outside the "Latest_" values, no control characters in a value, and
// a reply called complete is never refused as incomplete.
#include "core/UpdateReply.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool serverClosed = (data[0] & 1) != 0;
    const QByteArray reply(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));

    const qel::UpdateReply parsed = qel::ParseUpdateReply(reply, serverClosed);
    using Outcome = qel::UpdateReply::Outcome;
    if (parsed.outcome != Outcome::Ok) {
        Check(parsed.pairs.empty());
        Check(parsed.skipped.isEmpty());
    }
    Check((parsed.outcome == Outcome::Unreadable) == !parsed.problem.isEmpty());
    for (const qel::UpdatePair& pair : parsed.pairs) {
        Check(qel::IsUpdateKey(pair.key));
        for (QChar c : pair.value)
            Check(c.category() != QChar::Other_Control);
        Check(pair.value.size() <= qel::kUpdateReplyBlock);
    }

    if (reply.size() <= qel::kUpdateReplyBlock && qel::UpdateReplyComplete(reply)) {
        const qel::UpdateReply once = qel::ParseUpdateReply(reply, false);
        Check(once.problem != QStringLiteral("the reply is incomplete"));
    }
    return 0;
}
