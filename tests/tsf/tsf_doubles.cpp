#include "tests/tsf/tsf_doubles.h"

#include <initguid.h>
#include <inputscope.h>

#include <algorithm>

namespace qorva_tsf_test {
namespace {

constexpr HRESULT kNoLock = static_cast<HRESULT>(0x80040201L);              // TF_E_NOLOCK
constexpr HRESULT kSynchronousRefused = static_cast<HRESULT>(0x80040208L);  // TF_E_SYNCHRONOUS

template <typename Interface, typename Object>
HRESULT Answer(Object* object, Interface* as, void** out) {
    *out = as;
    object->AddRef();
    return S_OK;
}

LONG Clamp(LONG value, LONG low, LONG high) { return std::max(low, std::min(value, high)); }

}  // namespace

// --- FakeRange ---

FakeRange::FakeRange(FakeContext* context, LONG start, LONG end)
    : context_(context), start_(start), end_(end) {
    context_->AddRef();
}

FakeRange::~FakeRange() { context_->Release(); }

STDMETHODIMP FakeRange::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfRange)) {
        return Answer(this, static_cast<ITfRange*>(this), out);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeRange::GetText(TfEditCookie ec, DWORD, WCHAR* text, ULONG capacity,
                                ULONG* length) {
    if (!text || !length) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    const ULONG available = static_cast<ULONG>(end_ - start_);
    *length = std::min(available, capacity);
    std::copy_n(context_->text.c_str() + start_, *length, text);
    return S_OK;
}

STDMETHODIMP FakeRange::SetText(TfEditCookie ec, DWORD, const WCHAR* text, LONG length) {
    if (!context_->CanWrite(ec)) return kNoLock;
    const std::wstring replacement =
        text ? (length < 0 ? std::wstring(text) : std::wstring(text, length)) : std::wstring();
    context_->text.replace(start_, end_ - start_, replacement);
    context_->NoteEdit(start_, end_ - start_, static_cast<LONG>(replacement.size()));
    end_ = start_ + static_cast<LONG>(replacement.size());
    return S_OK;
}

void FakeRange::FollowEdit(LONG start, LONG removed, LONG inserted) {
    const LONG end = start + removed;
    const LONG change = inserted - removed;
    if (start >= start_ && end <= end_) {
        end_ += change;
    } else if (end <= start_) {
        start_ += change;
        end_ += change;
    }
}

STDMETHODIMP FakeRange::ShiftStart(TfEditCookie ec, LONG requested, LONG* shifted,
                                   const TF_HALTCOND*) {
    if (!shifted) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    const LONG target = Clamp(start_ + requested, 0, static_cast<LONG>(context_->text.size()));
    *shifted = target - start_;
    start_ = target;
    end_ = std::max(end_, start_);
    return S_OK;
}

STDMETHODIMP FakeRange::ShiftEnd(TfEditCookie ec, LONG requested, LONG* shifted,
                                 const TF_HALTCOND*) {
    if (!shifted) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    const LONG target = Clamp(end_ + requested, 0, static_cast<LONG>(context_->text.size()));
    *shifted = target - end_;
    end_ = target;
    start_ = std::min(start_, end_);
    return S_OK;
}

STDMETHODIMP FakeRange::ShiftStartToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) {
    if (!range) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    auto* other = static_cast<FakeRange*>(range);
    start_ = anchor == TF_ANCHOR_START ? other->start_ : other->end_;
    end_ = std::max(end_, start_);
    return S_OK;
}

STDMETHODIMP FakeRange::ShiftEndToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) {
    if (!range) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    auto* other = static_cast<FakeRange*>(range);
    end_ = anchor == TF_ANCHOR_START ? other->start_ : other->end_;
    start_ = std::min(start_, end_);
    return S_OK;
}

STDMETHODIMP FakeRange::IsEmpty(TfEditCookie ec, BOOL* empty) {
    if (!empty) return E_INVALIDARG;
    if (!context_->CanRead(ec)) return kNoLock;
    *empty = start_ == end_;
    return S_OK;
}

STDMETHODIMP FakeRange::Collapse(TfEditCookie ec, TfAnchor anchor) {
    if (!context_->CanRead(ec)) return kNoLock;
    if (anchor == TF_ANCHOR_START) {
        end_ = start_;
    } else {
        start_ = end_;
    }
    return S_OK;
}

STDMETHODIMP FakeRange::GetGravity(TfGravity* start, TfGravity* end) {
    if (!start || !end) return E_INVALIDARG;
    *start = startGravity_;
    *end = endGravity_;
    return S_OK;
}

STDMETHODIMP FakeRange::SetGravity(TfEditCookie ec, TfGravity start, TfGravity end) {
    if (!context_->CanRead(ec)) return kNoLock;
    startGravity_ = start;
    endGravity_ = end;
    return S_OK;
}

STDMETHODIMP FakeRange::Clone(ITfRange** clone) {
    if (!clone) return E_INVALIDARG;
    *clone = new FakeRange(context_, start_, end_);
    return S_OK;
}

STDMETHODIMP FakeRange::GetContext(ITfContext** context) {
    if (!context) return E_INVALIDARG;
    return Answer(context_, static_cast<ITfContext*>(context_), reinterpret_cast<void**>(context));
}

// --- FakeComposition ---

FakeComposition::FakeComposition(FakeContext* context, FakeRange* range, ITfCompositionSink* sink)
    : context_(context), range_(range), sink_(sink) {
    context_->AddRef();
    if (sink_) sink_->AddRef();
}

FakeComposition::~FakeComposition() {
    context_->ForgetComposition(this);
    range_->Release();
    if (sink_) sink_->Release();
    context_->Release();
}

STDMETHODIMP FakeComposition::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfComposition)) {
        return Answer(this, static_cast<ITfComposition*>(this), out);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeComposition::GetRange(ITfRange** range) {
    if (!range) return E_INVALIDARG;
    return range_->Clone(range);
}

STDMETHODIMP FakeComposition::ShiftStart(TfEditCookie ec, ITfRange* newStart) {
    return range_->ShiftStartToRange(ec, newStart, TF_ANCHOR_START);
}

STDMETHODIMP FakeComposition::ShiftEnd(TfEditCookie ec, ITfRange* newEnd) {
    return range_->ShiftEndToRange(ec, newEnd, TF_ANCHOR_END);
}

STDMETHODIMP FakeComposition::EndComposition(TfEditCookie ec) {
    if (!context_->CanWrite(ec)) return kNoLock;
    ended_ = true;
    context_->ForgetComposition(this);
    return S_OK;
}

// --- FakeView ---

STDMETHODIMP FakeView::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfContextView)) {
        return Answer(this, static_cast<ITfContextView*>(this), out);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeView::GetTextExt(TfEditCookie, ITfRange* range, RECT* rect, BOOL* clipped) {
    if (!range || !rect || !clipped) return E_INVALIDARG;
    *rect = kCaret;
    *clipped = FALSE;
    return S_OK;
}

STDMETHODIMP FakeView::GetScreenExt(RECT* rect) {
    if (!rect) return E_INVALIDARG;
    *rect = {0, 0, 800, 600};
    return S_OK;
}

STDMETHODIMP FakeView::GetWnd(HWND* window) {
    if (!window) return E_INVALIDARG;
    *window = nullptr;
    return S_OK;
}

// --- FakeContext ---

FakeContext::~FakeContext() {
    for (auto& queued : queued_) queued.first->Release();
    if (inputScopeProperty) inputScopeProperty->Release();
}

STDMETHODIMP FakeContext::GetProperty(REFGUID property, ITfProperty** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualGUID(property, GUID_PROP_INPUTSCOPE) || !inputScopeProperty) return E_NOTIMPL;
    inputScopeProperty->AddRef();
    *out = inputScopeProperty;
    return S_OK;
}

STDMETHODIMP FakeContext::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfContext)) {
        return Answer(this, static_cast<ITfContext*>(this), out);
    }
    if (IsEqualIID(interfaceId, IID_ITfInsertAtSelection)) {
        return Answer(this, static_cast<ITfInsertAtSelection*>(this), out);
    }
    if (IsEqualIID(interfaceId, IID_ITfContextComposition)) {
        return Answer(this, static_cast<ITfContextComposition*>(this), out);
    }
    return E_NOINTERFACE;
}

HRESULT FakeContext::Run(ITfEditSession* session, bool readWrite) {
    activeCookie_ = nextCookie_++;
    activeReadWrite_ = readWrite;
    const HRESULT result = session->DoEditSession(activeCookie_);
    activeCookie_ = 0;
    activeReadWrite_ = false;
    return result;
}

STDMETHODIMP FakeContext::RequestEditSession(TfClientId clientId, ITfEditSession* session,
                                             DWORD flags, HRESULT* sessionResult) {
    if (!session || !sessionResult) return E_INVALIDARG;
    requests.push_back({clientId, flags});
    const bool readWrite = (flags & TF_ES_READWRITE) == TF_ES_READWRITE;
    if ((flags & TF_ES_SYNC) == 0) {
        session->AddRef();
        queued_.emplace_back(session, readWrite);
        *sessionResult = kSessionQueued;
        return S_OK;
    }
    switch (syncGrant) {
        case SyncGrant::Granted: *sessionResult = Run(session, readWrite); return S_OK;
        case SyncGrant::RefusedInResult: *sessionResult = kSynchronousRefused; return S_OK;
        case SyncGrant::RefusedInCall: return kSynchronousRefused;
    }
    return E_FAIL;
}

size_t FakeContext::RunQueuedSessions() {
    std::vector<std::pair<ITfEditSession*, bool>> due;
    due.swap(queued_);
    for (auto& [session, readWrite] : due) {
        Run(session, readWrite);
        session->Release();
    }
    return due.size();
}

void FakeContext::NoteEdit(LONG start, LONG removed, LONG inserted) {
    if (composition_) composition_->range()->FollowEdit(start, removed, inserted);
    const LONG end = start + removed;
    if (selectionStart >= end) {
        selectionStart += inserted - removed;
        selectionEnd += inserted - removed;
    } else if (selectionEnd >= start) {
        selectionStart = selectionEnd = start + inserted;
    }
}

STDMETHODIMP FakeContext::GetSelection(TfEditCookie ec, ULONG index, ULONG count,
                                       TF_SELECTION* selection, ULONG* fetched) {
    if (!selection || !fetched) return E_INVALIDARG;
    *fetched = 0;
    if (!CanRead(ec)) return kNoLock;
    if (count == 0 || (index != 0 && index != static_cast<ULONG>(TF_DEFAULT_SELECTION))) {
        return S_OK;
    }
    selection[0].range = new FakeRange(this, selectionStart, selectionEnd);
    selection[0].style.ase = TF_AE_END;
    selection[0].style.fInterimChar = FALSE;
    *fetched = 1;
    return S_OK;
}

STDMETHODIMP FakeContext::SetSelection(TfEditCookie ec, ULONG count,
                                       const TF_SELECTION* selection) {
    if (!selection || count == 0) return E_INVALIDARG;
    if (!CanWrite(ec)) return kNoLock;
    auto* range = static_cast<FakeRange*>(selection[0].range);
    selectionStart = range->start();
    selectionEnd = range->end();
    return S_OK;
}

STDMETHODIMP FakeContext::GetStart(TfEditCookie ec, ITfRange** start) {
    if (!start) return E_INVALIDARG;
    if (!CanRead(ec)) return kNoLock;
    *start = new FakeRange(this, 0, 0);
    return S_OK;
}

STDMETHODIMP FakeContext::GetEnd(TfEditCookie ec, ITfRange** end) {
    if (!end) return E_INVALIDARG;
    if (!CanRead(ec)) return kNoLock;
    const LONG length = static_cast<LONG>(text.size());
    *end = new FakeRange(this, length, length);
    return S_OK;
}

STDMETHODIMP FakeContext::GetActiveView(ITfContextView** view) {
    if (!view) return E_INVALIDARG;
    *view = new FakeView();
    return S_OK;
}

STDMETHODIMP FakeContext::InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* inserted,
                                                LONG length, ITfRange** range) {
    if (!range) return E_INVALIDARG;
    *range = nullptr;
    if ((flags & TF_IAS_QUERYONLY) != 0) {
        if (!CanRead(ec)) return kNoLock;
        *range = new FakeRange(this, selectionStart, selectionEnd);
        return S_OK;
    }
    if (!CanWrite(ec)) return kNoLock;
    const std::wstring piece =
        inserted ? (length < 0 ? std::wstring(inserted) : std::wstring(inserted, length))
                 : std::wstring();
    const LONG start = selectionStart;
    text.replace(start, selectionEnd - selectionStart, piece);
    selectionStart = selectionEnd = start + static_cast<LONG>(piece.size());
    *range = new FakeRange(this, start, selectionEnd);
    return S_OK;
}

STDMETHODIMP FakeContext::StartComposition(TfEditCookie ec, ITfRange* range,
                                           ITfCompositionSink* sink, ITfComposition** composition) {
    if (!range || !composition) return E_INVALIDARG;
    *composition = nullptr;
    if (!CanWrite(ec)) return kNoLock;
    ITfRange* own = nullptr;
    range->Clone(&own);
    composition_ = new FakeComposition(this, static_cast<FakeRange*>(own), sink);
    *composition = composition_;
    return S_OK;
}

void FakeContext::TerminateComposition() {
    FakeComposition* open = composition_;
    if (!open) return;
    open->AddRef();
    ForgetComposition(open);
    if (open->sink()) open->sink()->OnCompositionTerminated(nextCookie_, open);
    open->Release();
}

void FakeContext::ForgetComposition(FakeComposition* composition) {
    if (composition_ == composition) composition_ = nullptr;
}

// --- FakeDocumentMgr ---

FakeDocumentMgr::FakeDocumentMgr(ITfContext* context) : context_(context) {
    if (context_) context_->AddRef();
}

FakeDocumentMgr::~FakeDocumentMgr() {
    if (context_) context_->Release();
}

STDMETHODIMP FakeDocumentMgr::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfDocumentMgr)) {
        return Answer(this, static_cast<ITfDocumentMgr*>(this), out);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeDocumentMgr::GetTop(ITfContext** context) {
    if (!context) return E_INVALIDARG;
    *context = context_;
    if (context_) context_->AddRef();
    return S_OK;
}

STDMETHODIMP FakeDocumentMgr::GetBase(ITfContext** context) { return GetTop(context); }

// --- FakeThreadMgr ---

FakeThreadMgr::~FakeThreadMgr() {
    if (threadSink) threadSink->Release();
    if (keySink) keySink->Release();
}

STDMETHODIMP FakeThreadMgr::QueryInterface(REFIID interfaceId, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_ITfThreadMgr)) {
        return Answer(this, static_cast<ITfThreadMgr*>(this), out);
    }
    if (IsEqualIID(interfaceId, IID_ITfSource)) {
        return Answer(this, static_cast<ITfSource*>(this), out);
    }
    if (IsEqualIID(interfaceId, IID_ITfKeystrokeMgr)) {
        return Answer(this, static_cast<ITfKeystrokeMgr*>(this), out);
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeThreadMgr::AdviseSink(REFIID interfaceId, IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_INVALIDARG;
    if (!IsEqualIID(interfaceId, IID_ITfThreadMgrEventSink)) return CONNECT_E_CANNOTCONNECT;
    if (FAILED(adviseSinkResult)) return adviseSinkResult;
    if (threadSink) return CONNECT_E_ADVISELIMIT;
    if (FAILED(sink->QueryInterface(IID_ITfThreadMgrEventSink,
                                    reinterpret_cast<void**>(&threadSink)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = kThreadSinkCookie;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::UnadviseSink(DWORD cookie) {
    if (cookie != kThreadSinkCookie || !threadSink) return CONNECT_E_NOCONNECTION;
    threadSink->Release();
    threadSink = nullptr;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::AdviseKeyEventSink(TfClientId clientId, ITfKeyEventSink* sink,
                                               BOOL foreground) {
    if (!sink) return E_INVALIDARG;
    if (FAILED(adviseKeySinkResult)) return adviseKeySinkResult;
    if (keySink) return CONNECT_E_ADVISELIMIT;
    keySink = sink;
    keySink->AddRef();
    keySinkClient = clientId;
    keySinkForeground = foreground;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::UnadviseKeyEventSink(TfClientId clientId) {
    if (!keySink || clientId != keySinkClient) return CONNECT_E_NOCONNECTION;
    keySink->Release();
    keySink = nullptr;
    keySinkClient = 0;
    return S_OK;
}

STDMETHODIMP FakeThreadMgr::TestKeyDown(WPARAM key, LPARAM keyData, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return keySink ? keySink->OnTestKeyDown(focus, key, keyData, eaten) : S_OK;
}

STDMETHODIMP FakeThreadMgr::TestKeyUp(WPARAM key, LPARAM keyData, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return keySink ? keySink->OnTestKeyUp(focus, key, keyData, eaten) : S_OK;
}

STDMETHODIMP FakeThreadMgr::KeyDown(WPARAM key, LPARAM keyData, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return keySink ? keySink->OnKeyDown(focus, key, keyData, eaten) : S_OK;
}

STDMETHODIMP FakeThreadMgr::KeyUp(WPARAM key, LPARAM keyData, BOOL* eaten) {
    if (!eaten) return E_INVALIDARG;
    *eaten = FALSE;
    return keySink ? keySink->OnKeyUp(focus, key, keyData, eaten) : S_OK;
}

bool FakeThreadMgr::Press(WPARAM key, LPARAM keyData) {
    BOOL eaten = FALSE;
    TestKeyDown(key, keyData, &eaten);
    if (!eaten) return false;
    KeyDown(key, keyData, &eaten);
    return eaten != FALSE;
}

}  // namespace qorva_tsf_test
