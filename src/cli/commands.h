#pragma once
// The subcommands of parvion2-cli. Each writes its result to stdout and
// throws CliError on failure.

namespace parvion::cli {

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

}  // namespace parvion::cli
