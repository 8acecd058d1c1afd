#include "update/checkUpdateManager.h"

#include <cstdlib>

#include "update/httpClient.h"

namespace update {

std::string UpdateAddress()
{
    const char* overridden = std::getenv("STILLREEL_UPDATE_URL");
    return overridden != nullptr && *overridden != '\0' ? std::string(overridden) : std::string(DefaultUpdateAddress);
}

TCheckUpdateManager::TCheckUpdateManager(std::int32_t currentVersionNumber, std::string address)
    : client_(std::make_unique<THttpClient>())
    , currentVersionNumber_(currentVersionNumber)
    , address_(std::move(address))
{
    client_->OnSessionConnected = [this] { ReportStatus(StatusConnected); };
    client_->OnSessionClosed = [this] { ReportStatus(StatusDisconnected); };
    client_->OnSendingRequest = [this] { ReportStatus(StatusRequesting); };
    client_->OnDocumentData = [this] { EvaluateBody(); };
}

TCheckUpdateManager::~TCheckUpdateManager()
{
    // A connection that closes while the client goes reports to nobody.
    StatusCallback = nullptr;
    FinishedCallback = nullptr;
}

void TCheckUpdateManager::CheckForUpdate()
{
    if (client_->Busy())
        return;
    std::string body;
    body_ = &body;
    const THttpResult result = client_->Get(address_, body);
    body_ = nullptr;
    if (result.Outcome == THttpOutcome::HttpError)
        ReportFinished(FinishedHttpError);
    else if (result.Outcome == THttpOutcome::OtherError)
        ReportFinished(FinishedOtherError);
    ReportFinished(FinishedDone);
}

void TCheckUpdateManager::AbortCheck()
{
    client_->Abort();
}

bool TCheckUpdateManager::Checking() const
{
    return client_->Busy();
}

void TCheckUpdateManager::EvaluateBody()
{
    // An error page or any other unsuccessful answer is not the record, however its first bytes
    // read.
    const long status = client_->ResponseStatus();
    if (body_ == nullptr || status < 200 || status > 299)
        return;
    ReportStatus(EvaluateUpdateBody(*body_, currentVersionNumber_, updateInfoRecord_));
}

void TCheckUpdateManager::ReportStatus(int code) const
{
    if (StatusCallback)
        StatusCallback(code);
}

void TCheckUpdateManager::ReportFinished(int code) const
{
    if (FinishedCallback)
        FinishedCallback(code);
}

}  // namespace update
