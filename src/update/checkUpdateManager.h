#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "update/updateRecord.h"

namespace update {

class THttpClient;

// Where srl.upd is published, on the program's own site.
inline constexpr char DefaultUpdateAddress[] = "https://stillreel.example/srl.upd";
// DefaultUpdateAddress, unless the environment variable STILLREEL_UPDATE_URL names another one.
std::string UpdateAddress();

// Fetches srl.upd and compares its version number with the program's own. Every report runs on
// the calling thread, inside CheckForUpdate.
class TCheckUpdateManager {
public:
    explicit TCheckUpdateManager(std::int32_t currentVersionNumber, std::string address = UpdateAddress());
    ~TCheckUpdateManager();
    TCheckUpdateManager(const TCheckUpdateManager&) = delete;
    TCheckUpdateManager& operator=(const TCheckUpdateManager&) = delete;

    // One check from start to end: connection and request reports, an evaluation after every
    // block of the body, FinishedHttpError or FinishedOtherError on failure, FinishedDone last.
    // The Qt event loop keeps running meanwhile. Does nothing while a check is running.
    void CheckForUpdate();
    // Ends the running check, which then finishes with FinishedHttpError and FinishedDone.
    void AbortCheck();
    bool Checking() const;

    const TUpdateInfoRecord& UpdateInfoRecord() const { return updateInfoRecord_; }
    const std::string& Address() const { return address_; }
    // The transfer's limits (time, redirections, size) can be adjusted here.
    THttpClient& Client() { return *client_; }

    std::function<void(int code)> StatusCallback;
    std::function<void(int code)> FinishedCallback;

private:
    void EvaluateBody();
    void ReportStatus(int code) const;
    void ReportFinished(int code) const;

    std::unique_ptr<THttpClient> client_;
    std::int32_t currentVersionNumber_;
    std::string address_;
    TUpdateInfoRecord updateInfoRecord_;
    const std::string* body_ = nullptr;  // the body of the running check
};

}  // namespace update
