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
#include "device/ReplySink.h"
#include "device/Transport.h"
#include "session/FirmwareUpgrade.h"
#include "session/MachineSettings.h"
#include "session/ParameterStore.h"
#include "session/RemoteCodes.h"
#include "session/SessionObserver.h"
#include "session/VolumeFollow.h"

namespace varnoth {

// Holds the session's link so that it exists before the parameter store that sends through it.
class SessionLinkHolder {
  protected:
    SessionLinkHolder(ReplySink& sink, LinkTiming timing) : m_deviceLink(sink, timing) {}
    DeviceLink m_deviceLink;
};

// The device session: the one object through which the program talks to the amplifier. It is the
// parameter store, and it holds the machine settings, the remote-control record, the opened device and
// the worker threads that read or write the whole parameter set or send a firmware image.
//
// Threads: the caller's thread (the user-interface thread) connects, disconnects and submits commands; the
// link thread of the connection sends them and runs the whole-set transfers and the firmware transfer,
// which belong to that connection (an unplug cancels them); the transport's reader thread dispatches every
// reply into the store and the records. Without a connection a requested transfer runs on a worker thread
// that only reports its end. The session joins its threads when destroyed; destroying the session does not
// send a farewell (the owner disconnects first).
class DeviceSession : private ReplySink, private SessionLinkHolder, public ParameterStore {
  public:
    explicit DeviceSession(std::shared_ptr<TransportProvider> provider = nullptr, LinkTiming timing = {});
    ~DeviceSession();

    // Where Connect looks for the amplifier: the virtual amplifier or the USB transport.
    void SetTransportProvider(std::shared_ptr<TransportProvider> provider);
    void SetObserver(SessionObserver* observer) { m_observer.store(observer); }

    // Connection.
    // Opens the amplifier and starts the reader; 1 when connected, 0 when already connected or nothing
    // was opened. The observer receives the session's notifications from now on.
    int Connect(SessionObserver* observer);
    // Ends the connection when path names the opened device (compared without regard to case), without a
    // farewell since the device is gone; true when it names it.
    bool TryDisconnect(const std::string& path);
    // Ends the connection. With farewell, a firmware transfer under way ends first (it is never cut short;
    // its own reply waits bound it), the commands still queued go out (for at most the link's farewellDrain)
    // and the farewell last.
    void Disconnect(bool farewell);
    void SetConnected(bool connected) { m_deviceLink.SetConnected(connected); }
    int IsConnected() const { return m_deviceLink.IsConnected() ? 1 : 0; }
    // Whether the connected amplifier came up in upgrade mode: it takes a firmware image and nothing else.
    bool InUpgradeMode() const { return m_upgradeMode.load(); }
    // 1 when the connected device is the virtual amplifier, not hardware.
    int IsSimulated() const { return m_simulated.load(); }
    std::string GetDevPath() const;
    // Why the last connect attempt opened nothing (empty after a success), and whether an amplifier was
    // there but could not be opened (no access, held by another program).
    std::string LastOpenFailure() const;
    bool LastOpenFoundDevice() const { return m_openFoundDevice.load(); }
    // False from the third reply in a row that did not come until the next reply.
    bool IsAnswering() const { return m_answering.load(); }

    // Whether commands sent from a thread other than the link thread wait until they went out (the
    // default: the command line runs one step after another) or return once queued (the window).
    void SetWaitForTransfers(bool wait) { m_deviceLink.SetCallersWait(wait); }
    // Waits until every queued command has gone out; false on time-out.
    bool WaitUntilSent(std::chrono::milliseconds timeout) { return m_deviceLink.WaitUntilIdle(timeout); }
    // The store positions whose writes of this connection the amplifier never acknowledged (after a
    // disconnection: of the last one), in store order.
    std::vector<std::size_t> UnacknowledgedPositions() const;
    // Runs body on the connection's link thread in turn with what is queued; there its commands go out at
    // once and return what went out, so body learns whether they reached the device. Returns at once; false
    // (nothing runs) without a link. An unplug before its turn drops it.
    bool RunOnLink(std::function<void()> body) { return m_deviceLink.RunSequence(std::move(body)); }

    // Whole-set transfer. ReadAll and WriteAll run on the calling thread; SynchronizeData starts the
    // write-all (write true) or read-all thread and returns at once.
    void ReadAll();
    void WriteAll();
    void SynchronizeData(bool write);

    // Identity and levels. The name and date are cleared at every connect and set by the device's replies.
    // Asks the device for its model name and firmware date on the calling thread and waits for the date (at
    // most the reply wait); 1 when the device answered with its name, else 0.
    int ReadIdentity();
    std::string GetDevName() const;
    std::string GetDevDate() const;
    // The firmware date of the image the program carries.
    std::string GetCurDevDate() const;
    // The window's level poll, from one thread while levels are read: asks for the levels and, about once
    // per followInterval, for the master volumes too, unless following is held (userDragging: the user holds
    // a slider). A reply that changes a volume in the store is told to the observer (OnVolumesFollowed).
    void PollDevice(bool userDragging);
    // Whether a synchronisation of this connection has finished and none runs now: only then are levels
    // polled and volumes followed.
    bool IsSynchronised() const { return m_synchronised.load(); }
    // The master volumes (bit 0 mic .. bit 3 sub) that a read outside a synchronisation found changed by
    // the amplifier itself since the last call.
    unsigned TakeFollowedVolumes() { return m_followedVolumes.exchange(0); }
    int GetCurEffectMode() const { return m_curEffectMode.load(); }
    std::uint8_t GetMicControlSubTime() const { return MicControlSubTime.load(); }
    std::uint8_t GetMicControlSubRate() const { return MicControlSubRate.load(); }

    // Memory modes 0..3 (shown as M1..M4); a mode outside the range is clamped. LoadMode and ResetMode
    // re-read everything on the read-all thread when readBack is not 0, since the device changes its working
    // set itself. ResetMode returns 1 when its command went out (only then is anything re-read), else 0.
    void LoadMode(int mode, int readBack);
    void SaveMode(int mode);
    // Saves with a receipt: the command takes its turn on the link and `saved` learns there whether the
    // amplifier acknowledged it. It learns false when there is no link, at once, or when an unplug drops the
    // command before its turn, on the thread that drops it.
    void SaveMode(int mode, std::function<void(bool saved)> saved);
    int ResetMode(int mode, int readBack);
    // Chooses an effect preset (effect 0 or 1) and reads back the eight parameters the device sets for it.
    void ChooseEffectPreset(int effect, std::uint8_t preset);
    // Mic-controls-sub: time 0 is off.
    void SetMicControlSub(std::uint8_t time, std::uint8_t rate);
    void UnLockMachine();
    // The device's factory settings; 1 when the command went out, else 0.
    int ResetMachine();

    // Whether WriteAll sends the remote-control record and the machine settings.
    int WritesRemoteRecord() const { return m_setRemoter.load(); }
    void SetWritesRemoteRecord(int enable) { m_setRemoter.store(enable); }
    int WritesMachineRecord() const { return m_setMachine.load(); }
    void SetWritesMachineRecord(int enable) { m_setMachine.store(enable); }

    // Takes the records of a mode data file, sending nothing: the mic-controls-sub setting; when
    // WritesMachineRecord, bytes 0..8 of the machine record into the working copy (the reserved bytes 9..10
    // of the working copy and the saved copy stay); when WritesRemoteRecord, the IR key record.
    void LoadFileRecords(std::uint8_t micControlSubTime, std::uint8_t micControlSubRate,
                         const MachineSettings::Record& machine, const RemoteCodes::Record& ir);

    // Firmware upgrade.
    // The version check of the connected device against the carried image: FirmwareUpgrade::CheckVersion on
    // the name and date of the last read-all.
    FirmwareCheck CheckFirmware() const { return FirmwareUpgrade::CheckVersion(GetDevName(), GetDevDate()); }
    // Start the upgrade thread and return at once: it pauses 1300 ms, sends the carried image (TryUpgrade)
    // or the image file at path (TryManualUpgrade), then tells the observer OnUpgradeDone. 1 when started,
    // 0 when a transfer is already under way (nothing starts then).
    int TryUpgrade();
    int TryManualUpgrade(const std::string& path);
    // Only an amplifier in upgrade mode (InUpgradeMode) is sent anything; the transfer stops at the first
    // report that fails or is not acknowledged, and the outcome always reaches the observer, also after an
    // unplug. The transfer on the calling thread: 1 when every report of the image went out and was
    // acknowledged, else 0 (refused: no connection, not in upgrade mode, no image, an image that cannot be
    // sent, a transfer already under way; or stopped part-way). DoUpgrade sends the carried image, or the
    // test image when the device is the virtual amplifier; a build without a carried image sends nothing to
    // hardware.
    int DoUpgrade();
    int DoManualUpgrade(const std::string& path);
    // Percent of the image acknowledged in the transfer under way or the last one.
    int GetUpProgress() const { return m_upgrade.GetProgress(); }
    // Stops the transfer under way before its next report, without the closing pair (Ctrl+C).
    void StopUpgrade();
    // Waits until no transfer is under way.
    void WaitForUpgradeEnd();
    // From TryUpgrade (or a Do call) until the transfer has ended.
    bool IsUpgrading() const { return m_upgrading.load(); }
    // What the last transfer came to, set before OnUpgradeDone: whether it ran and the message for the user.
    // A request refused because a transfer was already under way leaves it alone.
    UpgradeResult LastUpgradeResult() const;

    MachineSettings& GetMachineSet() { return m_machineSettings; }
    const MachineSettings& GetMachineSet() const { return m_machineSettings; }
    RemoteCodes& GetRemote() { return m_remote; }
    const RemoteCodes& GetRemote() const { return m_remote; }

  protected:
    // Runs body after delay on the connection's link thread, or without a connection on a worker thread
    // owned by the session. Finished workers are joined when the next one starts; all are joined when the
    // session is destroyed.
    void RunSequence(std::chrono::milliseconds delay, std::function<void()> body);
    void StartWorker(std::function<void()> body);
    // Counts connections and disconnections: a sequence reports only while the one it started with lasts.
    std::uint64_t Connection() const { return m_connection.load(); }
    // Sleeps for delay unless the session is being destroyed; false when it is.
    bool PauseUnlessClosing(std::chrono::milliseconds delay);
    bool IsClosing() const { return m_closing.load(); }
    SessionObserver* Observer() const { return m_observer.load(); }

    void ReadAllSequence(std::uint64_t connection);
    void WriteAllSequence(std::uint64_t connection, std::uint64_t writeAll);
    // The whole-set write numbered writeAll (see AskWriteAll).
    void WriteAllNumbered(std::uint64_t writeAll);
    void UpgradeThread(std::uint64_t connection, const std::function<UpgradeResult()>& transfer);

  private:
    void OnStoreChanged() override;
    void SetMicControlSubStored(std::uint8_t time, std::uint8_t rate);
    void SetCurEffectMode(int mode);

    // Replies, on the reader thread.
    void OnCurEffectMode(std::uint8_t mode) override;
    void OnLevels(const wire::LevelsReply& reply) override;
    void OnRegisterArray(const wire::RegisterArrayReply& reply) override;
    void OnMicControlSub(std::uint8_t time, std::uint8_t rate) override;
    void OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) override;
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) override;
    void OnDevName(const std::string& name) override;
    void OnDevDate(const std::string& date) override;
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) override;

    FollowConditions FollowNow(bool userDragging) const;

    // Runs the sequence on the link thread and waits for its end; false (nothing run) on the link thread
    // itself or without a connection.
    bool RunOnLinkAndWait(const std::function<void()>& sequence);
    // Clears the connected flag, waits for the reader and closes the transport.
    void CloseLink();

    // The two transfers; the caller has claimed m_upgrading.
    UpgradeResult SendCarriedImage();
    UpgradeResult SendImageFile(const std::string& path);
    int RunUpgradeHere(const std::function<UpgradeResult()>& transfer);
    int StartUpgradeThread(std::function<UpgradeResult()> transfer);
    void SetUpgradeResult(UpgradeResult result);
    // Clears IsUpgrading and wakes WaitForUpgradeEnd.
    void EndUpgrade();

    MachineSettings m_machineSettings;
    RemoteCodes m_remote;
    FirmwareUpgrade m_upgrade;
    VolumeFollow m_follow;

    std::shared_ptr<TransportProvider> m_provider;
    std::atomic<SessionObserver*> m_observer{nullptr};
    std::atomic<std::uint8_t> MicControlSubTime{0};
    std::atomic<std::uint8_t> MicControlSubRate{0};
    std::atomic<bool> m_synchronised{false};
    std::atomic<unsigned> m_followedVolumes{0};
    std::atomic<int> m_curEffectMode{0};
    std::atomic<int> m_setRemoter{1};
    std::atomic<int> m_setMachine{1};
    std::atomic<bool> m_upgradeMode{false};
    std::atomic<int> m_simulated{0};
    std::atomic<bool> m_upgrading{false};
    std::atomic<bool> m_answering{true};
    std::atomic<bool> m_openFoundDevice{false};
    // A file's records, taken and not yet sent by the whole-set write: read replies leave them alone.
    // Held like the store's values: 0, or the number of the whole-set write that sends them.
    std::atomic<std::uint64_t> m_micSubHeld{0};
    std::atomic<std::uint64_t> m_machineHeld{0};
    std::atomic<std::uint64_t> m_irHeld{0};
    std::mutex m_readAllMutex;  // guards m_readAllDue
    // When the read-all asked for last starts, while it waits for its start.
    std::optional<std::chrono::steady_clock::time_point> m_readAllDue;
    std::atomic<std::uint64_t> m_connection{0};
    mutable std::mutex m_upgradeResultMutex;  // also guards the end of a transfer for m_upgradeEnded
    std::condition_variable m_upgradeEnded;
    UpgradeResult m_upgradeResult;

    mutable std::mutex m_textMutex;  // guards the path, the name and the date and their reply counts
    std::condition_variable m_textArrived;
    unsigned m_nameReplies = 0;
    unsigned m_dateReplies = 0;
    std::string m_devPath;
    std::string m_openFailure;
    std::string m_devName{"VQ421"};
    std::string m_devDate{"2010-10-28"};

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex m_workersMutex;
    std::vector<Worker> m_workers;
    std::atomic<bool> m_closing{false};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseCv;
    bool m_pausesCut = false;  // guarded by m_pauseMutex: a farewell ends the pauses of sequences
};

}  // namespace varnoth
