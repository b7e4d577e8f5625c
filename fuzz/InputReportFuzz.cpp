// SPDX-License-Identifier: GPL-3.0-or-later
// An input report from the amplifier, as the transport delivers it, into the link's dispatcher and from
// there into the parameter store and the records.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "session/DeviceSession.h"

namespace {

using namespace varnoth;

// A transport that keeps the reader's delivery so that the fuzzer calls it on its own thread.
class HeldTransport : public Transport {
  public:
    explicit HeldTransport(Deliver* held) : m_held(held) {}
    int Transfer(const Report&) override { return static_cast<int>(kReportSize); }
    void StartReader(Deliver deliver) override { *m_held = std::move(deliver); }
    bool StopReader(std::chrono::milliseconds) override { return true; }
    std::optional<Report> ReadOne(std::chrono::milliseconds) override { return std::nullopt; }

  private:
    Deliver* m_held;
};

class HeldProvider : public TransportProvider {
  public:
    OpenResult Open(UsbIds, UsbIds) override {
        OpenResult result;
        result.transport = std::make_unique<HeldTransport>(&deliver);
        result.path = "fuzz";
        return result;
    }
    Transport::Deliver deliver;
};

struct Fixture {
    Fixture() : provider(std::make_shared<HeldProvider>()), session(provider) {
        if (session.Connect(nullptr) != 1 || !provider->deliver) {
            std::abort();
        }
    }
    std::shared_ptr<HeldProvider> provider;
    DeviceSession session;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture* fixture = new Fixture();
    Report report{};
    std::copy_n(data, std::min(size, report.size()), report.begin());
    fixture->provider->deliver(report);
    // Everything the replies may have written is read back whole.
    const DeviceSession& session = fixture->session;
    volatile std::size_t sink = session.Store().GetFileBlock().size() + session.GetDevName().size() +
                                session.GetDevDate().size() + session.GetMachineSet().GetSavedRecord()[10] +
                                session.GetRemote().GetRecord()[15] + session.Store().Value(pos::MicVol);
    (void)sink;
    return 0;
}
