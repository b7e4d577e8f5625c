// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "CliRunner.h"

namespace varnoth {
namespace {

// One HTTP request over a fresh connection to 127.0.0.1:port; the answer.
std::string Http(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        // The answer is whole when the server closes or falls silent.
        const timeval wait{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char buffer[4096];
        for (ssize_t got = 0; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return answer;
}

TEST_F(CliTest, ServePrintsTheTwoLinksAnswersTheirTokensAndSaysGoodbyeOnSigterm) {
    const std::string tokens = (dir / "tokens").string();
    const pid_t child =
        Start(dir, {"--simulate", "--trace", "serve", "--listen", "127.0.0.1:0", "--tokens", tokens});
    const std::regex link(R"(http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]{32})\n)");
    std::string out;
    for (int i = 0; i < 200 && std::count(out.begin(), out.end(), '\n') < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        out = ReadText(dir / "stdout.txt");
    }
    std::smatch installer;
    ASSERT_TRUE(std::regex_search(out, installer, link)) << out;
    const std::string rest = installer.suffix();
    std::smatch staff;
    ASSERT_TRUE(std::regex_match(rest, staff, link)) << out;
    EXPECT_EQ(staff[1], installer[1]);
    const std::string kept = ReadText(tokens);
    EXPECT_TRUE(Contains(kept, "installer " + installer[2].str())) << kept;
    EXPECT_TRUE(Contains(kept, "staff " + staff[2].str())) << kept;

    const int port = std::stoi(installer[1]);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
    const std::string body = R"({"SubLevel": {"raw": 9}})";
    const auto patch = [&](const std::string& token) {
        return Http(port, "PATCH /api/v1/parameters HTTP/1.1\r\n" + host + "Authorization: Bearer " + token +
                              "\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\nConnection: close\r\n\r\n" + body);
    };
    EXPECT_TRUE(Contains(patch(staff[2]), "HTTP/1.1 403")) << "the staff do not tune the subwoofer";
    EXPECT_TRUE(Contains(patch(std::string(32, '0')), "HTTP/1.1 401"));
    EXPECT_TRUE(Contains(patch(installer[2]), "HTTP/1.1 200"));

    ::kill(child, SIGTERM);
    const Outcome outcome = Finish(dir, child);
    EXPECT_EQ(outcome.code, 128 + SIGTERM) << "ended by the signal after its cleanup: " << outcome;
    // The sub level goes out (block 11, index 4), then the farewell.
    EXPECT_TRUE(Contains(outcome.err, ">Write: 2 9 11 4 0 9 ")) << outcome;
    EXPECT_TRUE(Contains(outcome.err.substr(outcome.err.find(">Write: 2 9 11 4 0 9 ")), ">Write: 2 138 "))
        << outcome;
}

TEST_F(CliTest, ServeRefusesAnAddressItCannotListenOn) {
    EXPECT_EQ(Sim({"serve", "--listen", "localhost"}).code, 2);
    EXPECT_EQ(Sim({"serve", "--listen", "127.0.0.1:70000"}).code, 2);
    const Outcome taken = Sim({"serve", "--listen", "192.0.2.1:8080", "--tokens", (dir / "tokens").string()});
    EXPECT_EQ(taken.code, 3) << taken;
    EXPECT_TRUE(Contains(taken.err, "cannot listen on 192.0.2.1:8080")) << taken;
}

}  // namespace
}  // namespace varnoth
