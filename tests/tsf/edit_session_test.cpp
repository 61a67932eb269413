#include "tsf/edit_session.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/tsf/tsf_doubles.h"

namespace qorva_tsf {
namespace {

using qorva_tsf_test::FakeContext;
using qorva_tsf_test::Held;
using qorva_tsf_test::SyncGrant;

constexpr TfClientId kClientId = 7;
constexpr DWORD kSyncReadWrite = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD kAsyncReadWrite = TF_ES_READWRITE;

TEST(ActionEditSessionTest, HoldsItsContextUntilDestroyed) {
    Held<FakeContext> context(new FakeContext());
    auto* session = new ActionEditSession(context.get(), nullptr);
    EXPECT_EQ(context->RefCount(), 2);
    session->Release();
    EXPECT_EQ(context->RefCount(), 1);
}

TEST(ActionEditSessionTest, NullContextAndEmptyActionDoNothing) {
    auto* session = new ActionEditSession(nullptr, nullptr);
    EXPECT_EQ(session->DoEditSession(1), S_OK);
    EXPECT_EQ(session->Release(), 0u);
}

TEST(ActionEditSessionTest, RunsItsActionWithTheCookie) {
    TfEditCookie seen = 0;
    auto* session = new ActionEditSession(nullptr, [&seen](TfEditCookie cookie) {
        seen = cookie;
        return E_ABORT;
    });
    EXPECT_EQ(session->DoEditSession(99), E_ABORT);
    EXPECT_EQ(seen, 99u);
    session->Release();
}

TEST(ActionEditSessionTest, AnswersOnlyUnknownAndEditSession) {
    auto* session = new ActionEditSession(nullptr, nullptr);
    void* out = nullptr;
    EXPECT_EQ(session->QueryInterface(IID_ITfEditSession, &out), S_OK);
    EXPECT_EQ(out, static_cast<ITfEditSession*>(session));
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(session->QueryInterface(IID_IUnknown, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();

    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(session->QueryInterface(IID_ITfCompositionSink, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(session->QueryInterface(IID_ITfEditSession, nullptr), E_INVALIDARG);
    EXPECT_EQ(session->Release(), 0u);
}

TEST(ActionEditSessionTest, CapturedStateLivesAsLongAsTheSession) {
    auto captured = std::make_shared<int>(5);
    std::weak_ptr<int> watch = captured;
    auto* session = new ActionEditSession(nullptr, [captured](TfEditCookie) { return S_OK; });
    captured.reset();
    EXPECT_FALSE(watch.expired());
    session->Release();
    EXPECT_TRUE(watch.expired());
}

class RequestEditSessionTest : public ::testing::Test {
protected:
    EditSessionResult Request(WhenRefused whenRefused, HRESULT initial = S_OK) {
        return RequestEditSession(
            context_.get(), kClientId,
            [this](TfEditCookie cookie) {
                ++runs_;
                writable_ = context_->CanWrite(cookie);
                return S_OK;
            },
            whenRefused, initial);
    }

    std::vector<DWORD> RequestedFlags() const {
        std::vector<DWORD> flags;
        for (const auto& request : context_->requests) flags.push_back(request.flags);
        return flags;
    }

    Held<FakeContext> context_{new FakeContext()};
    int runs_ = 0;
    bool writable_ = false;
};

TEST_F(RequestEditSessionTest, GrantedSessionRunsAtOnceReadWrite) {
    const EditSessionResult result = Request(WhenRefused::RetryAsync);
    EXPECT_EQ(result.request, S_OK);
    EXPECT_EQ(result.session, S_OK);
    EXPECT_EQ(runs_, 1);
    EXPECT_TRUE(writable_);
    EXPECT_EQ(RequestedFlags(), std::vector<DWORD>{kSyncReadWrite});
    EXPECT_EQ(context_->requests.front().clientId, kClientId);
    EXPECT_EQ(context_->RefCount(), 1);  // the session is gone with its context reference
}

TEST_F(RequestEditSessionTest, RefusalIsRetriedAsynchronouslyWhereverItShows) {
    for (SyncGrant refusal : {SyncGrant::RefusedInResult, SyncGrant::RefusedInCall}) {
        context_->requests.clear();
        runs_ = 0;
        context_->syncGrant = refusal;

        const EditSessionResult result = Request(WhenRefused::RetryAsync);
        EXPECT_EQ(result.request, S_OK);
        EXPECT_EQ(result.session, qorva_tsf_test::kSessionQueued);
        EXPECT_EQ(RequestedFlags(), (std::vector<DWORD>{kSyncReadWrite, kAsyncReadWrite}));
        // The creator's reference is gone; TSF's keeps the queued session and its action alive.
        EXPECT_EQ(runs_, 0);
        EXPECT_EQ(context_->RunQueuedSessions(), 1u);
        EXPECT_EQ(runs_, 1);
        EXPECT_TRUE(writable_);
        EXPECT_EQ(context_->RunQueuedSessions(), 0u);
        EXPECT_EQ(context_->RefCount(), 1);
    }
}

TEST_F(RequestEditSessionTest, RefusalIsDroppedWhenNotRetried) {
    context_->syncGrant = SyncGrant::RefusedInResult;
    const EditSessionResult result = Request(WhenRefused::Drop, E_FAIL);
    EXPECT_EQ(result.session, kSynchronousRefused);
    EXPECT_EQ(RequestedFlags(), std::vector<DWORD>{kSyncReadWrite});
    EXPECT_EQ(context_->QueuedSessions(), 0u);
    EXPECT_EQ(runs_, 0);
}

TEST_F(RequestEditSessionTest, NullContextRequestsNothing) {
    const EditSessionResult result = RequestEditSession(
        nullptr, kClientId, [](TfEditCookie) { return S_OK; }, WhenRefused::RetryAsync);
    EXPECT_EQ(result.request, E_INVALIDARG);
    EXPECT_TRUE(FAILED(result.session));
}

}  // namespace
}  // namespace qorva_tsf
