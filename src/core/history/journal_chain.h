#pragma once
// The journal's chain of hashes. Each entry's hash is the SHA-256 over the
// previous entry's hash and the entry's own content in one canonical form,
// so an entry changed, inserted or deleted afterwards breaks the chain from
// that entry on. The store keeps the chain's head (last sequence number and
// hash) beside the entries, which finds entries deleted at the end too.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/history/history_types.h"

namespace parvion::history {

// The hash before the first entry.
inline constexpr std::string_view kChainStart =
    "0000000000000000000000000000000000000000000000000000000000000000";

// SHA-256 of the bytes as 64 lower-case hex digits (OpenSSL's libcrypto).
std::string Sha256Hex(std::string_view bytes);

// The hash of `entry` following `previous`: over "parvion2-journal-1", the
// previous hash and every field of the entry but its hash (each as its
// length and its bytes, so no two entries share a form).
std::string ChainHash(std::string_view previous, const JournalEntry& entry);

// Checks entries given in sequence order, one at a time.
class ChainVerifier {
  public:
    // False from the first broken entry on (result() names it).
    bool add(const JournalEntry& entry);
    // The result after the last entry, checked against the stored head.
    VerifyResult finish(std::int64_t headSeq, std::string_view headHash);

  private:
    VerifyResult result_;
    std::string previous_{kChainStart};
    std::int64_t lastSeq_ = 0;
};

}  // namespace parvion::history
