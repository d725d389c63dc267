// Why a port could not be opened is said in the session's language: the
// lines' own English words go to the error log, never into a German
// sentence.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <string>
#include <tuple>
#include <utility>

#include "core/app/texts.h"
#include "core/link/doctor.h"
#include "core/link/link_failure.h"
#include "core/link/net_port.h"
#include "core/model/session.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion::test {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct Libraries {
    Session german;
    Session english;
    TextLibrary de{PARVION_BIN_DIR, german};
    TextLibrary en{PARVION_BIN_DIR, english};
    Libraries() { english.Sprache = 1; }
    views::TextLoader text(int sprache) const {
        const TextLibrary* lib = sprache == 1 ? &en : &de;
        return [lib](std::uint16_t n) { return lib->LoadText(n); };
    }
};

TEST(OpenCauses, EachSystemErrorInTheLibrarysWords) {
    const Libraries libs;
    struct Case {
        int errorNumber;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {ENOENT, "existiert nicht", "does not exist"},
        {ENXIO, "existiert nicht", "does not exist"},
        {EACCES, "Gruppe dialout", "group dialout"},
        {EBUSY, "belegt", "busy"},
        {EWOULDBLOCK, "belegt", "busy"},
        {ENOTTY, "keine serielle Schnittstelle", "not a serial port"},
        {EINVAL, "Übertragungsrate", "baud rate"},
        {0, "Ursache unbekannt", "cause unknown"},
        {EIO, "Systemfehler EIO", "system error EIO"},
        {ELOOP, "Systemfehler ELOOP", "system error ELOOP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.errorNumber);
        EXPECT_TRUE(Has(OpenCauseText(c.errorNumber, libs.text(0)), c.german));
        EXPECT_TRUE(Has(OpenCauseText(c.errorNumber, libs.text(1)), c.english));
    }
}

// A line that names no error number (the window's serial port for an error
// of its own) or one without a sentence of its own: the German sentence
// holds German words only.
TEST(OpenCauses, TheLinesOwnWordsStayOutOfTheSentence) {
    const Libraries libs;
    const std::string detail = "Input/output error (QSerialPort)";
    for (const int errorNumber : {0, EIO, EPROTO}) {
        SCOPED_TRACE(errorNumber);
        const LinkFailure f{LinkCause::OpenFailed, errorNumber, detail, "/dev/ttyUSB0", 9600};
        const std::string german = LinkFailureText(f, libs.text(0));
        const std::string english = LinkFailureText(f, libs.text(1));
        EXPECT_TRUE(Has(german, "/dev/ttyUSB0 kann nicht geöffnet werden")) << german;
        EXPECT_TRUE(Has(german, errorNumber == 0 ? "Ursache unbekannt" : "Systemfehler")) << german;
        EXPECT_FALSE(Has(german, "error")) << german;
        EXPECT_FALSE(Has(english, "QSerialPort")) << english;
    }
}

// A real path the system cannot open: a loop of symbolic links. The
// doctor's finding names the cause in either language, not in the words of
// strerror.
TEST(OpenCauses, TheDoctorsFindingForARealPath) {
    const Libraries libs;
    TempDir dir;
    const auto a = dir.path() / "ttyLoopA";
    const auto b = dir.path() / "ttyLoopB";
    ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    RecordingUi ui;
    const doctor::PortReport r = doctor::CheckPort(a.string(), nullptr, 7, ui, dir.path());
    ASSERT_FALSE(r.findings.empty());
    const doctor::Finding& f = r.findings.front();
    EXPECT_EQ(f.text, doctor::text::kCannotOpen);
    const std::string german = doctor::RenderFinding(f, libs.text(0));
    const std::string english = doctor::RenderFinding(f, libs.text(1));
    EXPECT_TRUE(Has(german, a.string() + " kann nicht geöffnet werden: Systemfehler ELOOP"))
        << german;
    EXPECT_TRUE(Has(english, "system error ELOOP")) << english;
    for (const std::string& t : {german, english}) {
        EXPECT_FALSE(Has(t, "symbolic links")) << t;
        EXPECT_FALSE(Has(t, "%")) << t;
    }
}

// A malformed network port name and a server's broken Telnet negotiation:
// the cause in the library's words, in English the very words the error log
// gets.
TEST(OpenCauses, NetworkCausesInTheLibrarysWords) {
    const Libraries libs;
    const std::pair<const char*, const char*> names[] = {
        {"/dev/ttyS0", "nicht rfc2217://HOST:PORT oder tcp://HOST:PORT"},
        {"tcp://station :4001", "Leerzeichen sind im Namen eines Anschlusses nicht erlaubt"},
        {"tcp://", "weder Rechner noch Portnummer"},
        {"rfc2217://[::1:4001", "der IPv6-Adresse fehlt die schließende Klammer"},
        {"rfc2217://[zz]:1", "„zz“ ist keine IPv6-Adresse"},
        {"tcp://station", "keine Portnummer"},
        {"tcp://::1:4001", "eine IPv6-Adresse steht in Klammern, wie in rfc2217://[::1]:4001"},
        {"tcp://:4001", "kein Rechner"},
        {"tcp://st*tion:1", "„st*tion“ ist kein Rechnername"},
        {"tcp://station:40x1", "„40x1“ ist keine Portnummer"},
        {"tcp://station:65536", "Port 65536 liegt nicht zwischen 1 und 65535"},
    };
    for (const auto& [port, german] : names) {
        SCOPED_TRACE(port);
        std::string why;
        ASSERT_FALSE(ParseNetworkPort(port, &why));
        const std::optional<CauseText> cause = NetNameCause(port);
        ASSERT_TRUE(cause);
        EXPECT_EQ(Render(*cause, libs.text(0)), german);
        EXPECT_EQ(Render(*cause, libs.text(1)), why);
    }
    EXPECT_FALSE(NetNameCause("rfc2217://station:4001"));

    // The link's failure and the doctor's finding put it into their sentence.
    const LinkFailure f{LinkCause::OpenFailed, EINVAL, "no port number", "tcp://station", 0};
    EXPECT_EQ(LinkFailureText(f, libs.text(0)),
              "tcp://station ist kein gültiger Netzwerk-Anschluss: keine Portnummer");
    TempDir dir;
    RecordingUi ui;
    const doctor::PortReport r = doctor::CheckPort("tcp://st*tion:1", nullptr, 7, ui, dir.path());
    ASSERT_FALSE(r.findings.empty());
    EXPECT_TRUE(Has(doctor::RenderFinding(r.findings.front(), libs.text(0)),
                    "ist kein gültiger Netzwerk-Anschluss: „st*tion“ ist kein Rechnername"));

    const std::tuple<telnet::Fault, std::uint8_t, const char*> telnet[] = {
        {telnet::Fault::IacBefore, 7, "IAC vor Byte 7"},
        {telnet::Fault::Unended, 0, "eine Unteraushandlung ohne Ende"},
        {telnet::Fault::BrokenBy, 9, "eine Unteraushandlung, unterbrochen von Byte 9"},
    };
    for (const auto& [fault, byte, german] : telnet) {
        const std::optional<CauseText> cause = TelnetCause(fault, byte);
        ASSERT_TRUE(cause);
        EXPECT_EQ(Render(*cause, libs.text(0)), german);
    }
    EXPECT_FALSE(TelnetCause(telnet::Fault::None, 0));
}

}  // namespace
}  // namespace parvion::test
