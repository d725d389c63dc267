#include "core/history/journal_chain.h"

#include <openssl/evp.h>

#include <array>
#include <memory>

namespace parvion::history {

std::string Sha256Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                                      &EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), bytes.data(), bytes.size()) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) != 1) {
        return {};  // never matches a stored hash: the entry shows as broken
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0x0F];
    }
    return out;
}

std::string ChainHash(std::string_view previous, const JournalEntry& e) {
    std::string text = "parvion2-journal-1\n";
    auto field = [&text](std::string_view value) {
        text += std::to_string(value.size());
        text += ':';
        text += value;
        text += '\n';
    };
    field(previous);
    field(std::to_string(e.seq));
    field(FormatUtc(e.at.utcMs));
    field(std::to_string(e.at.zoneMinutes));
    field(e.origin.computer);
    field(e.origin.user);
    field(e.origin.program);
    field(e.serial);
    field(TargetName(e.change.target));
    field(e.change.section);
    field(e.change.key);
    field(e.change.oldBase);
    field(e.change.newBase);
    field(e.change.oldShown);
    field(e.change.newShown);
    field(OutcomeName(e.change.outcome));
    field(e.change.cause);
    return Sha256Hex(text);
}

bool ChainVerifier::add(const JournalEntry& entry) {
    if (!result_.ok()) return false;
    ++result_.entries;
    if (entry.seq != lastSeq_ + 1) {
        // A gap (entries deleted) or a number out of order (an entry put in).
        result_.broken =
            entry.seq > lastSeq_ + 1 ? VerifyResult::Break::Missing : VerifyResult::Break::Changed;
        result_.seq = entry.seq;
        return false;
    }
    if (ChainHash(previous_, entry) != entry.hash) {
        result_.broken = VerifyResult::Break::Changed;
        result_.seq = entry.seq;
        return false;
    }
    previous_ = entry.hash;
    lastSeq_ = entry.seq;
    return true;
}

VerifyResult ChainVerifier::finish(std::int64_t headSeq, std::string_view headHash) {
    result_.lastSeq = lastSeq_;
    result_.lastHash = previous_;
    if (result_.ok() && (headSeq != lastSeq_ || headHash != previous_)) {
        result_.broken = VerifyResult::Break::Unlisted;
        // Entries missing at the end, entries after the head, or the last
        // entry itself rewritten.
        result_.seq = headSeq > lastSeq_   ? lastSeq_ + 1
                      : headSeq < lastSeq_ ? headSeq + 1
                                           : lastSeq_;
    }
    return result_;
}

}  // namespace parvion::history
