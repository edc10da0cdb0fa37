#include "base/CodePage.h"

#include "sys/System.h"

CodePageRules::CodePageRules(const sys::CodePageInfo& info) {
    for (int r = 0; r < sys::kMaxLeadByteRanges; ++r) {
        unsigned first = info.leadByte[2 * r];
        unsigned last = info.leadByte[2 * r + 1];
        if (first == 0 && last == 0)
            break;
        for (unsigned b = first; b <= last && b < 256; ++b) {
            lead_[b] = true;
            inForce_ = true;
        }
    }
}

CodePageRules CodePageRules::FromAnsiCodePage(sys::System& system) {
    sys::CodePageInfo info;
    if (!system.GetCPInfo(system.GetACP(), info))
        return CodePageRules();
    return CodePageRules(info);
}

CodePageRules::ByteKind CodePageRules::Kind(const char* bytes, size_t i) const {
    if (!inForce_)
        return ByteKind::Single;
    size_t run = 0;
    while (run < i && lead_[static_cast<unsigned char>(bytes[i - run - 1])])
        ++run;
    if (run % 2 == 1)
        return ByteKind::Trail;
    return lead_[static_cast<unsigned char>(bytes[i])] ? ByteKind::Lead : ByteKind::Single;
}
