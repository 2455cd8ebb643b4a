#include "make_image_command.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "firmware_image.h"
#include "parse_count.h"
#include "unit_identity.h"

namespace qelsim {

namespace {

constexpr const char* kUsage =
    "usage: qel-sim make-image [--records N] [--model M] [--version X.Y.Z] [--build B]"
    " [--corrupt] [--foreign] OUT\n";

bool Version(const std::string& text, FirmwareVersion* v) {
    unsigned a, b, c;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u%c", &a, &b, &c, &tail) != 3 || a > 255 || b > 255 ||
        c > 255) {
        return false;
    }
    v->major = static_cast<uint8_t>(a);
    v->minor = static_cast<uint8_t>(b);
    v->patch = static_cast<uint8_t>(c);
    return true;
}

}  // namespace

int RunMakeImage(const std::vector<std::string>& args, std::ostream& err) {
    ImageOptions o;
    o.model = UnitIdentity{}.model;
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        unsigned long v = 0;
        if (a == "--corrupt") {
            o.corrupt = true;
        } else if (a == "--foreign") {
            o.foreign = true;
        } else if (a == "--records" && hasValue && ParseCount(args[i + 1], 0xFFFF, 0, &v)) {
            o.records = static_cast<int>(v);
            ++i;
        } else if (a == "--model" && hasValue && ParseCount(args[i + 1], 0xFFFF, 0, &v)) {
            o.model = static_cast<uint16_t>(v);
            ++i;
        } else if (a == "--build" && hasValue && ParseCount(args[i + 1], 0xFFFFFFFFul, 0, &v)) {
            o.version.build = static_cast<uint32_t>(v);
            ++i;
        } else if (a == "--version" && hasValue && Version(args[i + 1], &o.version)) {
            ++i;
        } else if (out.empty() && !a.empty() && a[0] != '-') {
            out = a;
        } else {
            err << "qel-sim make-image: bad argument '" << a << "'\n" << kUsage;
            return 2;
        }
    }
    if (out.empty()) {
        err << kUsage;
        return 2;
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << ImageText(BuildImage(o));
    file.close();
    if (!file) {
        err << "qel-sim make-image: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}

}  // namespace qelsim
