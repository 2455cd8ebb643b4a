#include "rdm_line.h"

#include <algorithm>

namespace qelsim {

void RdmLine::Attach(std::shared_ptr<RdmResponder> responder) {
    if (auto* listener = dynamic_cast<DmxListener*>(responder.get()))
        listeners_.push_back(listener);
    responders_.push_back(std::move(responder));
}

std::optional<Bytes> RdmLine::Transact(const Bytes& request) {
    ++transactions_;
    std::vector<Bytes> answers;
    for (auto& r : responders_) {
        if (auto answer = r->Respond(request)) answers.push_back(std::move(*answer));
    }
    if (answers.empty()) return std::nullopt;
    if (answers.size() == 1) return std::move(answers.front());
    ++collisions_;
    return Collide(answers);
}

void RdmLine::Transmit(uint8_t startCode, const Bytes& levels) {
    for (DmxListener* listener : listeners_)
        listener->OnDmxFrame(startCode, levels);
}

Bytes Collide(const std::vector<Bytes>& answers) {
    size_t size = 0;
    for (const auto& a : answers)
        size = std::max(size, a.size());
    Bytes line(size, 0);
    for (size_t i = 0; i < size; ++i) {
        // Where every driver sends the same byte it arrives intact; where they differ the
        // receiver reads noise (modelled as their exclusive or).
        bool agree = true;
        uint8_t first = 0, mixed = 0;
        for (size_t k = 0; k < answers.size(); ++k) {
            uint8_t b = i < answers[k].size() ? answers[k][i] : 0xFF;  // idle line reads ones
            if (k == 0) first = b;
            agree = agree && b == first;
            mixed ^= b;
        }
        line[i] = agree ? first : mixed;
    }
    return line;
}

}  // namespace qelsim
