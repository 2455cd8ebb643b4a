// Fuzz target: the reply parser against a straightforward model of the frame rules (start
// marker search, type, little-endian length, body, end marker; a 600-byte buffer whose
// overflow is a length error). The input is the byte stream; an expiry follows it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame.h"

namespace {

struct Model {
    bool done = false, endErr = false, lenErr = false;
    std::vector<uint8_t> body;  // type first
};

Model Reference(const uint8_t* d, size_t n) {
    Model m;
    size_t i = 0;
    while (i < n && d[i] != 0x7E)
        ++i;
    if (i == n) {  // silence before a start marker: nothing recorded
        m.done = true;
        return m;
    }
    ++i;
    if (n - i < 3) {
        m.done = m.lenErr = true;
        if (i < n) m.body.push_back(d[i]);
        return m;
    }
    m.body.push_back(d[i]);
    const size_t len = d[i + 1] + 256u * d[i + 2];
    i += 3;
    const bool oversize = len > 599;
    for (size_t k = 0; k < len; ++k, ++i) {
        if (i >= n) {
            m.done = m.lenErr = true;
            return m;
        }
        if (m.body.size() < 600) m.body.push_back(d[i]);
    }
    if (i >= n) {
        m.done = m.lenErr = true;
        return m;
    }
    m.done = true;
    if (oversize) {
        m.lenErr = true;
    } else if (d[i] != 0xE7) {
        m.endErr = true;
    }
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qelio::frame::ReplyParser p;
    for (size_t i = 0; i < size && p.Accepting(); ++i)
        p.Feed(data[i]);
    p.Expire();
    const Model m = Reference(data, size);
    if (p.EndMarkerError() != m.endErr) std::abort();
    if (p.LengthError() != m.lenErr) std::abort();
    if (p.Count() != m.body.size()) std::abort();
    for (size_t k = 0; k < m.body.size(); ++k) {
        if (p.Data()[k] != m.body[k]) std::abort();
    }
    return 0;
}
