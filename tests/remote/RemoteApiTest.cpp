// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TraceCapture.h"
#include "device/sim/SimProvider.h"
#include "files/JsonValue.h"
#include "remote/RemoteApi.h"
#include "session/DeviceSession.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

const std::string kInstaller(32, 'a');
const std::string kStaff(32, 'b');
const std::string kHost = "127.0.0.1:8431";

// Machine settings with caps and locks: mic volume at most 10, the music volume and loading modes locked.
constexpr sim::MachineRecord kLockedMachine{0, 0xFF, 0xFF, 10, 36, 36, 36, 1, 0x02 | 0x10, 0, 0};

LinkTiming QuickStart() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    return timing;
}

// The API over a session connected to the virtual amplifier, as varnoth-cli serve runs it.
class RemoteApiTest : public ::testing::Test {
  protected:
    void Connect(const sim::MachineRecord& machine = {0, 0xFF, 0xFF, 36, 36, 36, 36, 0, 0, 0, 0}) {
        VirtualAmpState state = m_provider->Amp()->State();
        state.machine = machine;
        ASSERT_TRUE(m_provider->Amp()->SetState(state));
        ASSERT_EQ(m_session.Connect(nullptr), 1);
        m_session.ReadAll();
        m_session.ReadIdentity();
    }

    // The answer to a request, which must be one its route lists (and so docs/api/openapi.yaml).
    RemoteResponse Answer(const RemoteRequest& request) {
        const RemoteResponse response = m_api.Handle(request);
        const RemoteApi::Route* route = RemoteApi::RouteOf(request.method, request.path);
        std::vector<int> listed(RemoteApi::kNoRouteStatuses.begin(), RemoteApi::kNoRouteStatuses.end());
        if (route != nullptr) {
            listed = route->Answers();
        }
        listed.insert(listed.end(), RemoteApi::kAccessStatuses.begin(), RemoteApi::kAccessStatuses.end());
        EXPECT_TRUE(std::find(listed.begin(), listed.end(), response.status) != listed.end())
            << request.method << " " << request.path << " answered " << response.status
            << ", which its route does not list";
        return response;
    }

    RemoteResponse Call(const std::string& method, const std::string& path, const std::string& token,
                        const std::string& body = {}) {
        RemoteRequest request;
        request.method = method;
        request.path = path;
        request.host = kHost;
        request.authorization = token.empty() ? "" : "Bearer " + token;
        request.body = body;
        return Answer(request);
    }

    // The register writes (opcode 9) that went out since the capture began.
    std::size_t RegisterWrites() const {
        std::size_t count = 0;
        for (const std::string& line : m_trace.Lines()) {
            count += line.starts_with(">Write: 2 9 ") ? 1 : 0;
        }
        return count;
    }

    std::uint8_t Register(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
        return m_provider->Amp()->Register(block, index, channel);
    }

    std::shared_ptr<SimProvider> m_provider = std::make_shared<SimProvider>();
    DeviceSession m_session{m_provider, QuickStart()};
    RemoteTokens m_tokens{kInstaller, kStaff};
    RemoteAccess m_access{m_tokens, {kHost, "localhost:8431"}};
    RemoteEdits m_edits{m_session, false};
    RemoteApi m_api{m_session, m_access, m_edits, [](std::string_view path) -> std::optional<RemoteResponse> {
                        if (path != "/index.html") {
                            return std::nullopt;
                        }
                        return RemoteResponse{200, "text/html", "<html></html>", {}};
                    }};
    test::TraceCapture m_trace;
};

TEST_F(RemoteApiTest, OnlyATokenOfThisServerFromThisServersPagesIsLetIn) {
    struct Case {
        const char* what;
        std::string host;
        std::string origin;
        std::string authorization;
        std::string cookie;
        std::string query;
        int status;
    };
    const Case cases[] = {
        {"no token", kHost, "", "", "", "", 401},
        {"a wrong token", kHost, "", "Bearer " + std::string(32, 'c'), "", "", 401},
        {"a token one digit short", kHost, "", "Bearer " + kInstaller.substr(1), "", "", 401},
        {"the installer's token", kHost, "", "Bearer " + kInstaller, "", "", 200},
        {"the staff's token in the cookie", kHost, "", "", "x=1; varnoth_token=" + kStaff, "", 200},
        {"the token of the link", kHost, "", "", "", "token=" + kStaff, 200},
        {"another name for this server", "localhost:8431", "", "Bearer " + kInstaller, "", "", 200},
        {"a page of this server", kHost, "http://" + kHost, "Bearer " + kInstaller, "", "", 200},
        {"a name that rebinds to this server", "evil.example:8431", "", "Bearer " + kInstaller, "", "", 403},
        {"another port", "127.0.0.1:80", "", "Bearer " + kInstaller, "", "", 403},
        {"a page of another site", kHost, "http://evil.example", "Bearer " + kInstaller, "", "", 403},
        {"a page of another site named like this one", kHost, "http://" + kHost + ".evil.example",
         "Bearer " + kInstaller, "", "", 403},
    };
    for (const Case& c : cases) {
        RemoteRequest request{"GET",    "/api/v1/levels", c.query,  c.host,
                              c.origin, c.authorization,  c.cookie, {}};
        EXPECT_EQ(Answer(request).status, c.status) << c.what;
    }
}

TEST_F(RemoteApiTest, TheLinkSetsItsTokenAsAStrictHttpOnlyCookieAndLeavesTheAddressBar) {
    RemoteRequest request{"GET", "/", "token=" + kStaff, kHost, {}, {}, {}, {}};
    const RemoteResponse response = Answer(request);
    ASSERT_EQ(response.status, 303);
    const auto has = [&](const std::string& name, const std::string& value) {
        return std::find(response.headers.begin(), response.headers.end(), std::pair{name, value}) !=
               response.headers.end();
    };
    EXPECT_TRUE(has("Location", "/"));
    EXPECT_TRUE(has("Set-Cookie", "varnoth_token=" + kStaff + "; Path=/; HttpOnly; SameSite=Strict"));
    RemoteRequest page{"GET", "/", {}, kHost, {}, {}, "varnoth_token=" + kStaff, {}};
    EXPECT_EQ(Answer(page).body, "<html></html>");
}

TEST_F(RemoteApiTest, ParametersComeFromTheTableWithTheTokensRights) {
    Connect();
    const std::string staff = Call("GET", "/api/v1/parameters", kStaff).body;
    EXPECT_NE(staff.find("\"role\": \"staff\""), std::string::npos);
    const std::string micVol = std::to_string(ReadParameter(m_session, *FindParameter("MicVol")));
    EXPECT_NE(staff.find("{\"name\": \"MicVol\", \"raw\": " + micVol + ", \"shown\": {\"en\": \"" + micVol +
                         "\", \"zh\": \"" + micVol +
                         "\"}, \"min\": 0, \"max\": 36, \"group\": \"volumes\", \"title\": {\"en\": \"mic "
                         "volume\", \"zh\": \"话筒音量\"}, \"writable\": true}"),
              std::string::npos)
        << staff.substr(0, 2000);
    EXPECT_NE(staff.find("\"name\": \"MicGEQ.3\", \"raw\": 64, \"shown\": {\"en\": \"+0dB\""),
              std::string::npos);
    EXPECT_NE(staff.find("\"writable\": false"), std::string::npos);
    const std::string installer = Call("GET", "/api/v1/parameters", kInstaller).body;
    EXPECT_EQ(installer.find("\"writable\": false"), std::string::npos);
}

// A page shows the groups the state lists, in its order, under their titles: a parameter whose group is not
// listed, or shares its name with another group, would be hidden or shown in the wrong place.
TEST_F(RemoteApiTest, TheStateListsEveryGroupOfItsParametersOnceWithItsTitles) {
    std::string error;
    const std::optional<JsonValue> state =
        JsonValue::Parse(Call("GET", "/api/v1/parameters", kInstaller).body, error);
    ASSERT_TRUE(state) << error;
    const auto member = [](const JsonValue& object, std::string_view name) {
        static const JsonValue kMissing;
        const auto found = std::find_if(object.members.begin(), object.members.end(),
                                        [&](const JsonMember& m) { return m.name == name; });
        return found == object.members.end() ? kMissing : found->value;
    };
    std::vector<std::string> groups;
    for (const JsonValue& group : member(*state, "groups").items) {
        const std::string& name = member(group, "name").text;
        EXPECT_EQ(std::count(groups.begin(), groups.end(), name), 0) << name << " is listed twice";
        groups.push_back(name);
        for (const char* language : {"en", "zh"}) {
            EXPECT_FALSE(member(member(group, "title"), language).text.empty())
                << name << " has no title in " << language;
        }
    }
    const std::vector<JsonValue>& parameters = member(*state, "parameters").items;
    ASSERT_EQ(parameters.size(), AllParameters().size());
    std::map<std::string, ParamGroup> groupOfName;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const ParameterRef& ref = AllParameters()[i];
        const std::string& name = member(parameters[i], "group").text;
        EXPECT_NE(std::find(groups.begin(), groups.end(), name), groups.end())
            << ref.Name() << " is in the group " << name << ", which the state does not list";
        const auto [known, added] = groupOfName.emplace(name, ref.Group());
        EXPECT_EQ(known->second, ref.Group())
            << ref.Name() << " is in a group without a name of its own (" << name << " names another)";
    }
}

TEST_F(RemoteApiTest, APatchIsWrittenWholeAsOneUndoableStep) {
    Connect();
    const std::uint8_t volume = Register(10, 32, 0);
    const std::uint8_t subLevel = Register(11, 4, 0);
    const RemoteResponse patched =
        Call("PATCH", "/api/v1/parameters", kInstaller, R"({"MicVol": {"raw": 20}, "SubLevel": 33})");
    ASSERT_EQ(patched.status, 200) << patched.body;
    EXPECT_EQ(Register(10, 32, 0), 60) << "a volume goes out as value + 40";
    EXPECT_EQ(Register(11, 4, 0), 33);
    EXPECT_EQ(ReadParameter(m_session, *FindParameter("MicVol")), 20);

    const RemoteResponse undone = Call("POST", "/api/v1/undo", kInstaller);
    ASSERT_EQ(undone.status, 200) << undone.body;
    EXPECT_EQ(Register(10, 32, 0), volume);
    EXPECT_EQ(Register(11, 4, 0), subLevel);
    EXPECT_EQ(Call("POST", "/api/v1/undo", kInstaller).status, 409) << "both values were one step";
    ASSERT_EQ(Call("POST", "/api/v1/redo", kInstaller).status, 200);
    EXPECT_EQ(Register(11, 4, 0), 33);
}

TEST_F(RemoteApiTest, ARefusedPatchSendsNothingAndSaysWhy) {
    Connect(kLockedMachine);
    struct Case {
        const char* what;
        std::string token;
        std::string body;
        int status;
        std::string reason;
    };
    const Case cases[] = {
        {"not JSON", kInstaller, R"({"SubLevel": )", 422, "not JSON"},
        {"a value outside its range beside a good one", kInstaller, R"({"SubLevel": 3, "MicGEQ.0": 90})", 422,
         "MicGEQ.0 = 90 is outside"},
        {"an unknown name", kInstaller, R"({"SubLevel": 3, "Volume": 3})", 422,
         "unknown name \\\"Volume\\\""},
        {"a parameter outside the staff's rights", kStaff, R"({"MicVol": 5, "SubLevel": 3})", 403,
         "SubLevel is outside the rights of this token"},
        {"a machine setting", kInstaller, R"({"SubLevel": 3, "Machine.EnableLockFunc": 0})", 403,
         "Machine.EnableLockFunc is not a parameter the remote control sets"},
        {"a volume above its maximum", kInstaller, R"({"SubLevel": 3, "MicVol": 11})", 422,
         "The mic volume 11 is above the maximum mic volume 10 of the machine settings!"},
        {"a locked volume", kStaff, R"({"MicVol": 5, "MusicVol": 1})", 422, "Music vol locked!"},
    };
    const std::size_t before = RegisterWrites();
    const std::uint8_t subLevel = Register(11, 4, 0);
    for (const Case& c : cases) {
        const RemoteResponse response = Call("PATCH", "/api/v1/parameters", c.token, c.body);
        EXPECT_EQ(response.status, c.status) << c.what << ": " << response.body;
        EXPECT_NE(response.body.find(c.reason), std::string::npos) << c.what << ": " << response.body;
    }
    EXPECT_EQ(RegisterWrites(), before) << "a refused preset must not reach the amplifier";
    EXPECT_EQ(Register(11, 4, 0), subLevel);
    EXPECT_EQ(Call("PATCH", "/api/v1/parameters", kStaff, R"({"MicVol": 10})").status, 200) << "at the cap";
    EXPECT_EQ(Register(10, 32, 0), 50);
}

TEST_F(RemoteApiTest, MemoryModesObeyTheRightsAndTheLocks) {
    Connect(kLockedMachine);
    EXPECT_EQ(Call("POST", "/api/v1/modes/2/save", kStaff).status, 403);
    const RemoteResponse locked = Call("POST", "/api/v1/modes/2/load", kStaff);
    EXPECT_EQ(locked.status, 409);
    EXPECT_NE(locked.body.find("Load mode locked!"), std::string::npos) << locked.body;
    EXPECT_EQ(m_provider->Amp()->CurrentMode(), 0);
    EXPECT_EQ(Call("POST", "/api/v1/modes/5/load", kInstaller).status, 404);
    EXPECT_EQ(Call("POST", "/api/v1/modes/1/reset", kInstaller).status, 404);

    ASSERT_EQ(Call("PATCH", "/api/v1/parameters", kInstaller, R"({"SubLevel": 77})").status, 200);
    EXPECT_EQ(Call("POST", "/api/v1/modes/3/save", kInstaller).status, 202);
    EXPECT_EQ(m_provider->Amp()->StoredSet(2).Get(11, 4, 0), 77);
}

TEST_F(RemoteApiTest, AModeLoadsWhenUnlocked) {
    Connect();
    EXPECT_EQ(Call("POST", "/api/v1/modes/4/load", kStaff).status, 202);
    EXPECT_EQ(m_provider->Amp()->CurrentMode(), 3);
}

TEST_F(RemoteApiTest, BadRequestsAreRefusedWithTheirStatus) {
    Connect();
    EXPECT_EQ(
        Call("PATCH", "/api/v1/parameters", kInstaller, std::string(RemoteApi::kMaxBody + 1, ' ')).status,
        413);
    EXPECT_EQ(Call("DELETE", "/api/v1/parameters", kInstaller).status, 405);
    EXPECT_EQ(Call("GET", "/api/v1/nothing", kInstaller).status, 404);
    EXPECT_EQ(Call("GET", "/secret.txt", kInstaller).status, 404);
    EXPECT_EQ(Call("GET", "/api/v1/events", kInstaller).status, 426);
    m_session.Disconnect(true);
    const RemoteResponse offline = Call("PATCH", "/api/v1/parameters", kInstaller, R"({"SubLevel": 3})");
    EXPECT_EQ(offline.status, 503) << "nothing reaches an amplifier that is not there";
}

}  // namespace
}  // namespace varnoth
