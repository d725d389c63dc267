#pragma once
// The subcommands of parvion2-cli. Each writes its result to stdout and
// throws CliError on failure.

#include <cstdint>
#include <filesystem>

namespace parvion::cli {

// The labels of the plain-text outputs in the language of --lang (the JSON
// keys stay English).
namespace cli_text {
inline constexpr std::uint16_t kIdentity = 22906;
inline constexpr std::uint16_t kVariant = 22907;
inline constexpr std::uint16_t kProgram = 22908;
inline constexpr std::uint16_t kSerialNumber = 22909;
inline constexpr std::uint16_t kExpansionLevel = 22910;
inline constexpr std::uint16_t kAccessFlags = 22911;
inline constexpr std::uint16_t kGas = 22912;
inline constexpr std::uint16_t kEnergy = 22913;
inline constexpr std::uint16_t kProtected = 22914;
inline constexpr std::uint16_t kNotProtected = 22915;
}  // namespace cli_text

class Context;

void RunIdentify(Context& ctx);
void RunReadParams(Context& ctx);
void RunWriteParams(Context& ctx);
void RunDiff(Context& ctx);
void RunLive(Context& ctx);
void RunErrors(Context& ctx);
void RunIntegrators(Context& ctx);
void RunTrends(Context& ctx);
void RunClock(Context& ctx);
void RunSgerg(Context& ctx);
void RunPage(Context& ctx);
void RunSet(Context& ctx);
void RunPrint(Context& ctx);  // print_command.cpp

// A parameter file edited on its own: the variant from its Ident, loaded
// onto the variant's defaults. No device limits the system kinds, so the
// file's system definition stays as it is. Fails with the loader's message.
void LoadEditedFile(Context& ctx, const std::filesystem::path& file);
// Reads every parameter block into the context's image; fails when any
// block could not be read.
void ReadWholeImage(Context& ctx);

}  // namespace parvion::cli
