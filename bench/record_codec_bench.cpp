// The parameter records without the line and the disk: encoding and
// decoding every block of a full image (what ReadAllParameters and
// WriteAllParameters spend besides the wire), and listing and comparing the
// fields of two images (what a comparison before a load costs). Prints the
// mean time per image; the other benchmarks give the whole operations.
//
//   record_codec_bench [rounds (default 20000)]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/link/parameter_blocks.h"
#include "core/model/parameter_diff.h"
#include "full_image.h"

namespace {

using namespace parvion;

using bench::FullImage;

// Encodes every block of the image and decodes it into the other image;
// gives the number of bytes, so that nothing is optimised away.
std::size_t EncodeDecodeAll(const ParameterImage& from, ParameterImage& to) {
    std::size_t bytes = 0;
    auto one = [&](const auto& rec, auto& into) {
        const wire::Bytes b = codec::Encode(rec);
        bytes += b.size();
        bytes += codec::Decode(b, into) ? 1u : 0u;
    };
    for (std::size_t i = 0; i < 2; ++i) {
        one(from.T_User[i], to.T_User[i]);
        one(from.P_User[i], to.P_User[i]);
        one(from.Flow_User[i], to.Flow_User[i]);
        one(from.Bez_User[i], to.Bez_User[i]);
        one(from.Des_User[i], to.Des_User[i]);
        one(from.Med_User[i], to.Med_User[i]);
        one(from.Imp_User[i], to.Imp_User[i]);
        one(from.Alm_User[i], to.Alm_User[i]);
        one(from.FlowKorr[i], to.FlowKorr[i]);
    }
    for (std::size_t k = 0; k < 4; ++k) one(from.Aus_User[k], to.Aus_User[k]);
    one(from.Betrieb, to.Betrieb);
    one(from.EG_User, to.EG_User);
    one(from.Grenzwerte, to.Grenzwerte);
    one(from.Dis_User, to.Dis_User);
    for (std::size_t q = 0; q < 16; ++q) one(from.UserEinheiten[q], to.UserEinheiten[q]);
    one(from.Trend_User, to.Trend_User);
    one(from.System, to.System);
    for (std::size_t k = 0; k < 8; ++k) {
        const wire::Bytes b = codec::EncodeVorgabe(from.Vorgaben[k]);
        bytes += b.size();
        bytes += codec::DecodeVorgabe(b, to.Vorgaben[k]) ? 1u : 0u;
    }
    one(from.Display, to.Display);
    return bytes;
}

template <class Work>
double MeanMicroseconds(int rounds, Work&& work) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) work();
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const ParameterImage image = FullImage();
    ParameterImage copy;
    ResetParameters(copy, medium::Gas);
    copy.Bemerkung = image.Bemerkung;  // the remarks live in the file, in no block

    std::size_t sink = 0;
    const double codecUs = MeanMicroseconds(rounds, [&] { sink += EncodeDecodeAll(image, copy); });
    const bool same = copy == image;

    const int listRounds = std::max(1, rounds / 10);
    const double listUs = MeanMicroseconds(
        listRounds, [&] { sink += ListParameterFields(image, medium::Gas, false).size(); });
    ParameterImage other = image;
    other.T_User[1].Max += 1.0f;
    other.Vorgaben[7] = 0.5f;
    const double diffUs = MeanMicroseconds(
        listRounds, [&] { sink += DiffParameterImages(image, other, medium::Gas, true).size(); });

    std::printf("records: encode + decode of all 53 blocks of an image: %8.2f us (%d rounds)\n",
                codecUs, rounds);
    std::printf("records: list the fields of an image:                  %8.2f us (%d rounds)\n",
                listUs, listRounds);
    std::printf("records: compare two images (present fields):          %8.2f us (%d rounds)\n",
                diffUs, listRounds);
    std::printf("decoded image equals the encoded one: %s (%zu)\n", same ? "yes" : "NO", sink);
    return same ? 0 : 1;
}
