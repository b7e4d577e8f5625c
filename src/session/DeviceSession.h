// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceLink.h"
#include "device/Transport.h"
#include "session/DeviceIdentity.h"
#include "session/DeviceState.h"
#include "session/SessionReplies.h"
#include "session/SessionStatus.h"
#include "session/SessionUpgrader.h"
#include "session/VolumeFollow.h"
#include "session/WriteLedger.h"

namespace varnoth {

// The device session: the one object through which the program talks to the amplifier. It connects,
// synchronises the whole set, switches memory modes and upgrades the firmware; it holds the link, the
// state the panel knows (the parameter store, the machine settings, the remote-control record, the
// mic-controls-sub setting and the memory mode; Store(), GetMachineSet(), GetRemote()), the ledger that
// says which replies are older than what was set, and the worker threads of the whole-set and firmware
// transfers.
//
// Threads: the caller's thread (the user-interface thread, or the command line's) connects, disconnects
// and submits commands; the link thread of the connection sends them and runs the whole-set transfers and
// the firmware transfer, which belong to that connection (an unplug cancels them); the transport's reader
// thread dispatches every reply into the state (SessionReplies). Without a connection a requested transfer
// runs on a worker thread that only reports its end. The session joins its threads when destroyed;
// destroying the session does not send a farewell (the owner disconnects first).
class DeviceSession {
  public:
    explicit DeviceSession(std::shared_ptr<TransportProvider> provider = nullptr, LinkTiming timing = {});
    ~DeviceSession();

    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Where Connect looks for the amplifier: the virtual amplifier or the USB transport.
    void SetTransportProvider(std::shared_ptr<TransportProvider> provider);
    void SetObserver(SessionObserver* observer) { m_status.observer.store(observer); }

    // The state the panel knows of the amplifier.
    ParameterStore& Store() { return m_state.Store(); }
    const ParameterStore& Store() const { return m_state.Store(); }
    MachineSettings& GetMachineSet() { return m_state.Machine(); }
    const MachineSettings& GetMachineSet() const { return m_state.Machine(); }
    RemoteCodes& GetRemote() { return m_state.Remote(); }
    const RemoteCodes& GetRemote() const { return m_state.Remote(); }

    // Connection.
    // Opens the amplifier and starts the reader; false when already connected or nothing was opened. The
    // observer receives the session's notifications from now on.
    bool Connect(SessionObserver* observer);
    // Ends the connection when path names the opened device (compared without regard to case), without a
    // farewell since the device is gone; true when it names it.
    bool TryDisconnect(const std::string& path);
    // Ends the connection. With farewell, a firmware transfer under way ends first (it is never cut short;
    // its own reply waits bound it), the commands still queued go out (for at most the link's farewellDrain)
    // and the farewell last.
    void Disconnect(bool farewell);
    void SetConnected(bool connected) { m_link.SetConnected(connected); }
    bool IsConnected() const { return m_link.IsConnected(); }
    // Whether the connected amplifier came up in upgrade mode: it takes a firmware image and nothing else.
    bool InUpgradeMode() const { return m_status.upgradeMode.load(); }
    // Whether the connected device is the virtual amplifier, not hardware.
    bool IsSimulated() const { return m_status.simulated.load(); }
    std::string GetDevPath() const { return m_identity.Path(); }
    // Why the last connect attempt opened nothing (empty after a success), and whether an amplifier was
    // there but could not be opened (no access, held by another program).
    std::string LastOpenFailure() const { return m_identity.OpenFailure(); }
    bool LastOpenFoundDevice() const { return m_openFoundDevice.load(); }
    // False from the third reply in a row that did not come until the next reply.
    bool IsAnswering() const { return m_answering.load(); }

    // Whether commands sent from a thread other than the link thread wait until they went out (the
    // default: the command line runs one step after another) or return once queued (the window).
    void SetWaitForTransfers(bool wait) { m_link.SetCallersWait(wait); }
    // Waits until every queued command has gone out; false on time-out.
    bool WaitUntilSent(std::chrono::milliseconds timeout) { return m_link.WaitUntilIdle(timeout); }
    // The store positions whose writes of this connection the amplifier never acknowledged (after a
    // disconnection: of the last one), in store order.
    std::vector<std::size_t> UnacknowledgedPositions() const;
    // Runs body on the connection's link thread in turn with what is queued; there its commands go out at
    // once and return what went out, so body learns whether they reached the device. Returns at once; false
    // (nothing runs) without a link. An unplug before its turn drops it.
    bool RunOnLink(std::function<void()> body) { return m_link.RunSequence(std::move(body)); }

    // Whole-set transfer. ReadAll and WriteAll run on the calling thread; SynchronizeData starts the
    // write-all (write true) or read-all thread and returns at once.
    void ReadAll();
    void WriteAll();
    void SynchronizeData(bool write);

    // Identity and levels. The name and date are cleared at every connect and set by the device's replies.
    // Asks the device for its model name and firmware date on the calling thread and waits for the date (at
    // most the reply wait); whether the device answered with its name.
    bool ReadIdentity();
    std::string GetDevName() const { return m_identity.Name(); }
    std::string GetDevDate() const { return m_identity.Date(); }
    // The firmware date of the image the program carries.
    std::string GetCurDevDate() const;
    // The window's level poll, from one thread while levels are read: asks for the levels and, about once
    // per followInterval, for the master volumes too, unless following is held (userDragging: the user holds
    // a slider). A reply that changes a volume in the store is told to the observer (OnVolumesFollowed).
    void PollDevice(bool userDragging);
    // Whether a synchronisation of this connection has finished and none runs now: only then are levels
    // polled and volumes followed.
    bool IsSynchronised() const { return m_status.synchronised.load(); }
    // The master volumes (bit 0 mic .. bit 3 sub) that a read outside a synchronisation found changed by
    // the amplifier itself since the last call.
    unsigned TakeFollowedVolumes() { return m_replies.TakeFollowedVolumes(); }
    // The memory mode 0..3 the amplifier works in.
    int MemoryMode() const { return m_state.MemoryMode(); }
    std::uint8_t GetMicControlSubTime() const { return m_state.MicControlSubTime(); }
    std::uint8_t GetMicControlSubRate() const { return m_state.MicControlSubRate(); }

    // Memory modes 0..3 (shown as M1..M4); a mode outside the range is clamped. LoadMode and ResetMode
    // re-read everything on the read-all thread with readBack, since the device changes its working set
    // itself. ResetMode returns whether its command went out (only then is anything re-read).
    void LoadMode(int mode, bool readBack);
    void SaveMode(int mode);
    // Saves with a receipt: the command takes its turn on the link and `saved` learns there whether the
    // amplifier acknowledged it. It learns false when there is no link, at once, or when an unplug drops the
    // command before its turn, on the thread that drops it.
    void SaveMode(int mode, std::function<void(bool saved)> saved);
    bool ResetMode(int mode, bool readBack);
    // Chooses an effect preset (effect 0 or 1) and reads back the eight parameters the device sets for it.
    void ChooseEffectPreset(int effect, std::uint8_t preset);
    // Mic-controls-sub: time 0 is off.
    void SetMicControlSub(std::uint8_t time, std::uint8_t rate);
    void UnLockMachine();
    // The device's factory settings; whether the command went out.
    bool ResetMachine();

    // Whether WriteAll sends the remote-control record and the machine settings.
    bool WritesRemoteRecord() const { return m_state.WritesRemoteRecord(); }
    void SetWritesRemoteRecord(bool writes) { m_state.SetWritesRemoteRecord(writes); }
    bool WritesMachineRecord() const { return m_state.WritesMachineRecord(); }
    void SetWritesMachineRecord(bool writes) { m_state.SetWritesMachineRecord(writes); }

    // Takes the records of a mode data file, sending nothing: the mic-controls-sub setting; when
    // WritesMachineRecord, bytes 0..8 of the machine record into the working copy (the reserved bytes 9..10
    // of the working copy and the saved copy stay); when WritesRemoteRecord, the IR key record. Each is held
    // against read replies until the whole-set write sends it.
    void LoadFileRecords(std::uint8_t micControlSubTime, std::uint8_t micControlSubRate,
                         const MachineSettings::Record& machine, const RemoteCodes::Record& ir);

    // Firmware upgrade (SessionUpgrader).
    // The version check of the connected device against the carried image: FirmwareUpgrade::CheckVersion on
    // the name and date of the last read-all.
    FirmwareCheck CheckFirmware() const { return FirmwareUpgrade::CheckVersion(GetDevName(), GetDevDate()); }
    // Start the upgrade thread and return at once: it pauses 1300 ms, sends the carried image (TryUpgrade)
    // or the image file at path (TryManualUpgrade), then tells the observer OnUpgradeDone. True when started,
    // false when a transfer is already under way (nothing starts then).
    bool TryUpgrade() { return m_upgrader.Start(); }
    bool TryManualUpgrade(const std::string& path) { return m_upgrader.StartFile(path); }
    // Only an amplifier in upgrade mode (InUpgradeMode) is sent anything; the transfer stops at the first
    // report that fails or is not acknowledged, and the outcome always reaches the observer, also after an
    // unplug. The transfer on the calling thread: true when every report of the image went out and was
    // acknowledged, else false (refused: no connection, not in upgrade mode, no image, an image that cannot
    // be sent, a transfer already under way; or stopped part-way). DoUpgrade sends the carried image, or the
    // test image when the device is the virtual amplifier; a build without a carried image sends nothing to
    // hardware.
    bool DoUpgrade() { return m_upgrader.Run(); }
    bool DoManualUpgrade(const std::string& path) { return m_upgrader.RunFile(path); }
    // Percent of the image acknowledged in the transfer under way or the last one.
    int GetUpProgress() const { return m_upgrader.Progress(); }
    // Stops the transfer under way before its next report, without the closing pair (Ctrl+C).
    void StopUpgrade() { m_upgrader.Stop(); }
    // Waits until no transfer is under way.
    void WaitForUpgradeEnd() { m_upgrader.WaitForEnd(); }
    // From TryUpgrade (or a Do call) until the transfer has ended.
    bool IsUpgrading() const { return m_upgrader.IsUpgrading(); }
    // What the last transfer came to, set before OnUpgradeDone: whether it ran and the message for the user.
    // A request refused because a transfer was already under way leaves it alone.
    UpgradeResult LastUpgradeResult() const { return m_upgrader.LastResult(); }

  private:
    // Runs body after delay on the connection's link thread, or without a connection on a worker thread
    // owned by the session. Finished workers are joined when the next one starts; all are joined when the
    // session is destroyed.
    void RunSequence(std::chrono::milliseconds delay, std::function<void()> body);
    void StartWorker(std::function<void()> body);
    // Sleeps for delay unless the session is being destroyed; false when it is.
    bool PauseUnlessClosing(std::chrono::milliseconds delay);

    void ReadAllSequence(std::uint64_t connection);
    void WriteAllSequence(std::uint64_t connection, std::uint64_t writeAll);
    // The whole-set write numbered writeAll (see WriteLedger::AskWriteAll).
    void WriteAllNumbered(std::uint64_t writeAll);
    // Runs the sequence on the link thread and waits for its end; false (nothing run) on the link thread
    // itself or without a connection.
    bool RunOnLinkAndWait(const std::function<void()>& sequence);
    // Clears the connected flag, waits for the reader and closes the transport.
    void CloseLink();
    FollowConditions FollowNow(bool userDragging) const;

    // In the order they are built: the replies and the link refer to the state, which sends through the
    // link.
    WriteLedger m_ledger;
    SessionStatus m_status;
    DeviceIdentity m_identity;
    SessionReplies m_replies;
    DeviceLink m_link;
    DeviceState m_state;
    SessionUpgrader m_upgrader;
    VolumeFollow m_follow;

    std::shared_ptr<TransportProvider> m_provider;
    std::atomic<bool> m_answering{true};
    std::atomic<bool> m_openFoundDevice{false};
    std::mutex m_readAllMutex;  // guards m_readAllDue
    // When the read-all asked for last starts, while it waits for its start.
    std::optional<std::chrono::steady_clock::time_point> m_readAllDue;

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex m_workersMutex;
    std::vector<Worker> m_workers;
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseCv;
    bool m_pausesCut = false;  // guarded by m_pauseMutex: a farewell ends the pauses of sequences
};

}  // namespace varnoth
