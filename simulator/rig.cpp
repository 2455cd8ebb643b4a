#include "rig.h"

#include <fstream>
#include <map>
#include <sstream>

#include "fixtures.h"
#include "parse_count.h"

namespace qelsim {

namespace {

const std::map<std::string, std::string>& NamedRigs() {
    static const std::map<std::string, std::string> rigs = {
        {"default",
         "unit \"DMX-QEL\" input=pattern\n"
         "fixture moving-head uid=7FF1:00000575\n"
         "fixture dimmer-rack uid=7FF2:00001206\n"
         "fixture hazer uid=7FF1:00000A01\n"
         "fixture minimal uid=7FF3:00000004\n"},
        {"empty", "unit \"DMX-QEL\"\n"},
        {"loopback",
         "unit \"DMX-QEL\" input=loopback\n"
         "fixture moving-head uid=7FF1:00000575\n"},
        {"two-units",
         "unit \"DMX-QEL\" input=pattern\n"
         "fixture moving-head uid=7FF1:00000575\n"
         "unit \"DMX-QEL II\" model=1 serial=20050017 legacy-model\n"
         "fixture minimal uid=7FF3:00000009\n"},
        {"crowd", "unit \"DMX-QEL\"\nfixtures minimal 50 first-uid=7FF3:00000001\n"},
        {"faulty",
         "unit \"DMX-QEL\"\n"
         "fixture minimal uid=7FF3:00000101 faults=no-response\n"
         "fixture minimal uid=7FF3:00000102 faults=bad-checksum\n"
         "fixture minimal uid=7FF3:00000103 faults=wrong-transaction\n"
         "fixture minimal uid=7FF3:00000104 faults=wrong-sub-device\n"
         "fixture minimal uid=7FF3:00000105 faults=wrong-identity\n"
         "fixture minimal uid=7FF3:00000106 faults=malformed\n"},
        {"mute-fault",
         "unit \"DMX-QEL\"\n"
         "fixture minimal uid=7FF3:00000001\n"
         "fixture minimal uid=7FF3:00000002 faults=fails-to-mute\n"},
    };
    return rigs;
}

// Splits a line into words; a quoted word may hold blanks and '#', which elsewhere starts
// a comment that runs to the end of the line.
bool Tokens(const std::string& line, std::vector<std::string>* out, std::string* error) {
    size_t i = 0;
    while (i < line.size() && line[i] != '#') {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                *error = "unterminated quote";
                return false;
            }
            out->push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = line.find_first_of(" \t\r#", i);
            if (end == std::string::npos) end = line.size();
            out->push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

// "RECORD:FINISH", two durations.
bool ParseFlashTime(const std::string& text, FlashTime* t) {
    auto colon = text.find(':');
    return colon != std::string::npos && ParseDuration(text.substr(0, colon), &t->record) &&
           ParseDuration(text.substr(colon + 1), &t->finish);
}

// The parts of one unit block while the file is read.
struct UnitDraft {
    UnitIdentity identity;
    InputSource input = InputSource::kScripted;
    FlashTime flash;
    std::vector<std::shared_ptr<VirtualDevice>> fixtures;
    ReplyDisturbance disturbance;
};

class RigReader {
  public:
    explicit RigReader(SharedTime time) : time_(std::move(time)) {}

    bool Line(const std::vector<std::string>& t, std::string* error) {
        const std::string& what = t[0];
        if (what == "unit") return ReadUnit(t, error);
        if (units_.empty()) return Fail("'" + what + "' before any unit", error);
        if (what == "fixture") return ReadFixture(t, error);
        if (what == "fixtures") return ReadFixtures(t, error);
        if (what == "disturb" && t.size() == 2) {
            return ParseDisturbance(t[1], &units_.back().disturbance, error);
        }
        return Fail("unknown item '" + what + "'", error);
    }

    std::vector<UnitDraft>& Units() { return units_; }

  private:
    static bool Fail(const std::string& message, std::string* error) {
        *error = message;
        return false;
    }

    bool ReadUnit(const std::vector<std::string>& t, std::string* error) {
        if (t.size() < 2 || t[1].empty()) return Fail("a unit needs a name", error);
        UnitDraft u;
        u.identity.name = t[1];
        for (size_t i = 2; i < t.size(); ++i) {
            const std::string& o = t[i];
            unsigned long v = 0;
            if (o == "legacy-model") {
                u.identity.legacyModelQuery = true;
            } else if (o == "factory") {
                u.identity.factoryMode = true;
            } else if (o.rfind("model=", 0) == 0 && ParseCount(o.substr(6), 0x7FFF, 10, &v)) {
                u.identity.model = static_cast<uint16_t>(v);
            } else if (o.rfind("serial=", 0) == 0 &&
                       ParseCount(o.substr(7), 0xFFFFFFFFul, 10, &v)) {
                u.identity.serial = o.substr(7);
                u.identity.uid = rdm::MakeUid(kUnitManufacturer, static_cast<uint32_t>(v));
            } else if (o.rfind("input=", 0) == 0 && ParseInputSource(o.substr(6), &u.input)) {
            } else if (o.rfind("flash=", 0) == 0 && ParseFlashTime(o.substr(6), &u.flash)) {
            } else {
                return Fail("bad unit option '" + o + "'", error);
            }
        }
        units_.push_back(std::move(u));
        return true;
    }

    bool ReadFixture(const std::vector<std::string>& t, std::string* error) {
        if (t.size() < 2) return Fail("a fixture needs a kind", error);
        rdm::Uid uid = rdm::MakeUid(0x7FFF, ++autoDevice_);
        std::vector<Fault> faults;
        for (size_t i = 2; i < t.size(); ++i) {
            const std::string& o = t[i];
            if (o.rfind("uid=", 0) == 0 && rdm::ParseUid(o.substr(4), &uid)) continue;
            if (o.rfind("faults=", 0) != 0) return Fail("bad fixture option '" + o + "'", error);
            std::stringstream names(o.substr(7));
            std::string name;
            Fault f;
            while (std::getline(names, name, ',')) {
                if (!ParseFault(name, &f)) return Fail("unknown fault '" + name + "'", error);
                faults.push_back(f);
            }
        }
        auto fixture = MakeFixture(t[1], uid, time_);
        if (!fixture) return Fail("unknown fixture kind '" + t[1] + "'", error);
        for (Fault f : faults)
            fixture->SetFault(f, true);
        units_.back().fixtures.push_back(fixture);
        return true;
    }

    bool ReadFixtures(const std::vector<std::string>& t, std::string* error) {
        unsigned long count = 0;
        if (t.size() < 3 || !ParseCount(t[2], 1000, 10, &count)) {
            return Fail("'fixtures' needs a kind and a count", error);
        }
        rdm::Uid first = rdm::MakeUid(0x7FFF, 0x10000);
        if (t.size() > 3 &&
            (t[3].rfind("first-uid=", 0) != 0 || !rdm::ParseUid(t[3].substr(10), &first))) {
            return Fail("bad option '" + t[3] + "'", error);
        }
        for (unsigned long i = 0; i < count; ++i) {
            auto fixture = MakeFixture(t[1], first + i, time_);
            if (!fixture) return Fail("unknown fixture kind '" + t[1] + "'", error);
            units_.back().fixtures.push_back(fixture);
        }
        return true;
    }

    SharedTime time_;
    std::vector<UnitDraft> units_;
    uint32_t autoDevice_ = 0;
};

}  // namespace

std::vector<std::string> Rig::RigNames() {
    std::vector<std::string> names;
    for (const auto& [name, unused] : NamedRigs())
        names.push_back(name);
    return names;
}

std::optional<Rig> Rig::Parse(const std::string& text, std::string* error) {
    Rig rig;
    RigReader reader(rig.time_);
    std::stringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::vector<std::string> t;
        if (!Tokens(line, &t, error) || (!t.empty() && !reader.Line(t, error))) {
            *error = "line " + std::to_string(number) + ": " + *error;
            return std::nullopt;
        }
    }
    for (UnitDraft& u : reader.Units()) {
        auto unit = std::make_shared<Unit>(u.identity, rig.time_);
        unit->Input().SetSource(u.input);
        unit->SetFlashTime(u.flash);
        for (auto& f : u.fixtures)
            unit->Attach(f);
        auto port = std::make_shared<UnitPort>(unit);
        port->Disturb(u.disturbance);
        rig.ports_.push_back(port);
    }
    return rig;
}

std::optional<Rig> Rig::Load(const std::string& nameOrPath, std::string* error) {
    auto named = NamedRigs().find(nameOrPath);
    if (named != NamedRigs().end()) return Parse(named->second, error);
    std::ifstream file(nameOrPath);
    if (!file) {
        std::string known;
        for (const auto& n : RigNames())
            known += (known.empty() ? "" : ", ") + n;
        *error = "no rig named '" + nameOrPath + "' and no such file (rigs: " + known + ")";
        return std::nullopt;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::optional<Rig> rig = Parse(text.str(), error);
    if (!rig) *error = nameOrPath + ": " + *error;
    return rig;
}

std::vector<std::shared_ptr<VirtualDevice>> Rig::Fixtures(size_t unit) {
    std::vector<std::shared_ptr<VirtualDevice>> out;
    for (auto& r : GetUnit(unit).Line().Responders()) {
        if (auto d = std::dynamic_pointer_cast<VirtualDevice>(r)) out.push_back(d);
    }
    return out;
}

}  // namespace qelsim
