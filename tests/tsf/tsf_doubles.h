// Stand-ins for the Text Services Framework objects a text service talks to, enough to drive the
// real text service key by key and read the document back. Wine's own framework neither delivers
// keys to sinks nor implements compositions, so these take its place.
//
// The document is one string with a selection. Ranges are plain offsets: an edit through one range
// moves that range's end (and the selection) but no other range, which is all a single composition
// needs.
#pragma once

#include <windows.h>
#include <msctf.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace qorva_tsf_test {

// The session result of a request that TSF queued (TF_S_ASYNC; the headers lack it).
constexpr HRESULT kSessionQueued = static_cast<HRESULT>(0x00040300L);

// Reference counting shared by the doubles; QueryInterface stays with each class.
template <typename... Interfaces>
class FakeCom : public Interfaces... {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refCount_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&refCount_);
        if (count == 0) delete this;
        return count;
    }
    LONG RefCount() const { return refCount_; }

protected:
    virtual ~FakeCom() = default;

private:
    LONG refCount_ = 1;
};

// Releases the one reference a test holds.
template <typename T>
class Held {
public:
    explicit Held(T* object = nullptr) : object_(object) {}
    ~Held() {
        if (object_) object_->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T** out() { return &object_; }

private:
    T* object_;
};

class FakeContext;

class FakeRange final : public FakeCom<ITfRange> {
public:
    FakeRange(FakeContext* context, LONG start, LONG end);

    LONG start() const { return start_; }
    LONG end() const { return end_; }
    // Follows an edit of [start, start + removed) made through another range: an edit inside this
    // range grows or shrinks it, one before it moves it.
    void FollowEdit(LONG start, LONG removed, LONG inserted);

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP GetText(TfEditCookie ec, DWORD flags, WCHAR* text, ULONG capacity,
                         ULONG* length) override;
    STDMETHODIMP SetText(TfEditCookie ec, DWORD flags, const WCHAR* text, LONG length) override;
    STDMETHODIMP GetFormattedText(TfEditCookie, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP GetEmbedded(TfEditCookie, REFGUID, REFIID, IUnknown**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InsertEmbedded(TfEditCookie, DWORD, IDataObject*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftStart(TfEditCookie ec, LONG requested, LONG* shifted,
                            const TF_HALTCOND* halt) override;
    STDMETHODIMP ShiftEnd(TfEditCookie ec, LONG requested, LONG* shifted,
                          const TF_HALTCOND* halt) override;
    STDMETHODIMP ShiftStartToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) override;
    STDMETHODIMP ShiftEndToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) override;
    STDMETHODIMP ShiftStartRegion(TfEditCookie, TfShiftDir, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP ShiftEndRegion(TfEditCookie, TfShiftDir, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP IsEmpty(TfEditCookie ec, BOOL* empty) override;
    STDMETHODIMP Collapse(TfEditCookie ec, TfAnchor anchor) override;
    STDMETHODIMP IsEqualStart(TfEditCookie, ITfRange*, TfAnchor, BOOL*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsEqualEnd(TfEditCookie, ITfRange*, TfAnchor, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP CompareStart(TfEditCookie, ITfRange*, TfAnchor, LONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP CompareEnd(TfEditCookie, ITfRange*, TfAnchor, LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP AdjustForInsert(TfEditCookie, ULONG, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetGravity(TfGravity* start, TfGravity* end) override;
    STDMETHODIMP SetGravity(TfEditCookie ec, TfGravity start, TfGravity end) override;
    STDMETHODIMP Clone(ITfRange** clone) override;
    STDMETHODIMP GetContext(ITfContext** context) override;

private:
    ~FakeRange() override;

    FakeContext* context_;
    LONG start_;
    LONG end_;
    TfGravity startGravity_ = TF_GRAVITY_BACKWARD;
    TfGravity endGravity_ = TF_GRAVITY_FORWARD;
};

class FakeComposition final : public FakeCom<ITfComposition> {
public:
    FakeComposition(FakeContext* context, FakeRange* range, ITfCompositionSink* sink);

    ITfCompositionSink* sink() const { return sink_; }
    bool ended() const { return ended_; }
    FakeRange* range() const { return range_; }

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP GetRange(ITfRange** range) override;
    STDMETHODIMP ShiftStart(TfEditCookie ec, ITfRange* newStart) override;
    STDMETHODIMP ShiftEnd(TfEditCookie ec, ITfRange* newEnd) override;
    STDMETHODIMP EndComposition(TfEditCookie ec) override;

private:
    ~FakeComposition() override;

    FakeContext* context_;
    FakeRange* range_;
    ITfCompositionSink* sink_;
    bool ended_ = false;
};

class FakeView final : public FakeCom<ITfContextView> {
public:
    static constexpr RECT kCaret = {100, 200, 102, 220};

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP GetRangeFromPoint(TfEditCookie, const POINT*, DWORD, ITfRange**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTextExt(TfEditCookie ec, ITfRange* range, RECT* rect, BOOL* clipped) override;
    STDMETHODIMP GetScreenExt(RECT* rect) override;
    STDMETHODIMP GetWnd(HWND* window) override;
};

// How the document answers a synchronous read-write request.
enum class SyncGrant {
    Granted,          // the session runs at once
    RefusedInResult,  // the call succeeds, the session result says TF_E_SYNCHRONOUS
    RefusedInCall,    // the call itself returns TF_E_SYNCHRONOUS
};

class FakeContext final : public FakeCom<ITfContext, ITfInsertAtSelection, ITfContextComposition> {
public:
    struct Request {
        TfClientId clientId;
        DWORD flags;
    };

    FakeContext() = default;

    // The document.
    std::wstring text;
    LONG selectionStart = 0;
    LONG selectionEnd = 0;
    SyncGrant syncGrant = SyncGrant::Granted;
    std::vector<Request> requests;
    // What GetProperty answers for the field's input scope (GUID_PROP_INPUTSCOPE); held, and
    // released with the context. None when null.
    ITfProperty* inputScopeProperty = nullptr;

    // Runs the sessions queued by asynchronous requests, oldest first; returns how many ran.
    size_t RunQueuedSessions();
    size_t QueuedSessions() const { return queued_.size(); }
    // Whether a session runs now with this cookie, and whether it may write.
    bool CanRead(TfEditCookie ec) const { return ec != 0 && ec == activeCookie_; }
    bool CanWrite(TfEditCookie ec) const { return CanRead(ec) && activeReadWrite_; }
    FakeComposition* composition() const { return composition_; }
    // The application ends the open composition on its own, as a click elsewhere would.
    void TerminateComposition();
    void ForgetComposition(FakeComposition* composition);
    // Keeps the selection and the open composition's range around text written at
    // [start, start + removed).
    void NoteEdit(LONG start, LONG removed, LONG inserted);

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;

    // ITfContext
    STDMETHODIMP RequestEditSession(TfClientId clientId, ITfEditSession* session, DWORD flags,
                                    HRESULT* sessionResult) override;
    STDMETHODIMP InWriteSession(TfClientId, BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSelection(TfEditCookie ec, ULONG index, ULONG count, TF_SELECTION* selection,
                              ULONG* fetched) override;
    STDMETHODIMP SetSelection(TfEditCookie ec, ULONG count, const TF_SELECTION* selection) override;
    STDMETHODIMP GetStart(TfEditCookie ec, ITfRange** start) override;
    STDMETHODIMP GetEnd(TfEditCookie ec, ITfRange** end) override;
    STDMETHODIMP GetActiveView(ITfContextView** view) override;
    STDMETHODIMP EnumViews(IEnumTfContextViews**) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(TF_STATUS*) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(REFGUID property, ITfProperty** out) override;
    STDMETHODIMP GetAppProperty(REFGUID, ITfReadOnlyProperty**) override { return E_NOTIMPL; }
    STDMETHODIMP TrackProperties(const GUID**, ULONG, const GUID**, ULONG,
                                 ITfReadOnlyProperty**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumProperties(IEnumTfProperties**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr**) override { return E_NOTIMPL; }
    STDMETHODIMP CreateRangeBackup(TfEditCookie, ITfRange*, ITfRangeBackup**) override {
        return E_NOTIMPL;
    }

    // ITfInsertAtSelection
    STDMETHODIMP InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* text, LONG length,
                                       ITfRange** range) override;
    STDMETHODIMP InsertEmbeddedAtSelection(TfEditCookie, DWORD, IDataObject*, ITfRange**) override {
        return E_NOTIMPL;
    }

    // ITfContextComposition
    STDMETHODIMP StartComposition(TfEditCookie ec, ITfRange* range, ITfCompositionSink* sink,
                                  ITfComposition** composition) override;
    STDMETHODIMP EnumCompositions(IEnumITfCompositionView**) override { return E_NOTIMPL; }
    STDMETHODIMP FindComposition(TfEditCookie, ITfRange*, IEnumITfCompositionView**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP TakeOwnership(TfEditCookie, ITfCompositionView*, ITfCompositionSink*,
                               ITfComposition**) override {
        return E_NOTIMPL;
    }

private:
    ~FakeContext() override;

    HRESULT Run(ITfEditSession* session, bool readWrite);

    std::vector<std::pair<ITfEditSession*, bool>> queued_;
    TfEditCookie nextCookie_ = 1;
    TfEditCookie activeCookie_ = 0;
    bool activeReadWrite_ = false;
    FakeComposition* composition_ = nullptr;  // not held: the composition's owner holds it
};

class FakeDocumentMgr final : public FakeCom<ITfDocumentMgr> {
public:
    explicit FakeDocumentMgr(ITfContext* context);

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;
    STDMETHODIMP CreateContext(TfClientId, DWORD, IUnknown*, ITfContext**, TfEditCookie*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Push(ITfContext*) override { return E_NOTIMPL; }
    STDMETHODIMP Pop(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetTop(ITfContext** context) override;
    STDMETHODIMP GetBase(ITfContext** context) override;
    STDMETHODIMP EnumContexts(IEnumTfContexts**) override { return E_NOTIMPL; }

private:
    ~FakeDocumentMgr() override;

    ITfContext* context_;
};

// Thread manager with its event source and its keystroke manager. Keys go to the advised key sink
// with `focus` as the context, the way TSF asks first and then delivers.
class FakeThreadMgr final : public FakeCom<ITfThreadMgr, ITfSource, ITfKeystrokeMgr> {
public:
    ITfThreadMgrEventSink* threadSink = nullptr;
    ITfKeyEventSink* keySink = nullptr;
    TfClientId keySinkClient = 0;
    BOOL keySinkForeground = FALSE;
    HRESULT adviseSinkResult = S_OK;
    HRESULT adviseKeySinkResult = S_OK;
    ITfContext* focus = nullptr;  // borrowed

    // TSF's delivery: the key test, and the key itself only when the test said eaten.
    bool Press(WPARAM key, LPARAM keyData = 1);

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** out) override;

    // ITfThreadMgr
    STDMETHODIMP Activate(TfClientId*) override { return E_NOTIMPL; }
    STDMETHODIMP Deactivate() override { return E_NOTIMPL; }
    STDMETHODIMP CreateDocumentMgr(ITfDocumentMgr**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDocumentMgrs(IEnumTfDocumentMgrs**) override { return E_NOTIMPL; }
    STDMETHODIMP GetFocus(ITfDocumentMgr**) override { return E_NOTIMPL; }
    STDMETHODIMP SetFocus(ITfDocumentMgr*) override { return E_NOTIMPL; }
    STDMETHODIMP AssociateFocus(HWND, ITfDocumentMgr*, ITfDocumentMgr**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsThreadFocus(BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetFunctionProvider(REFCLSID, ITfFunctionProvider**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFunctionProviders(IEnumTfFunctionProviders**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGlobalCompartment(ITfCompartmentMgr**) override { return E_NOTIMPL; }

    // ITfSource
    STDMETHODIMP AdviseSink(REFIID interfaceId, IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP UnadviseSink(DWORD cookie) override;

    // ITfKeystrokeMgr
    STDMETHODIMP AdviseKeyEventSink(TfClientId clientId, ITfKeyEventSink* sink,
                                    BOOL foreground) override;
    STDMETHODIMP UnadviseKeyEventSink(TfClientId clientId) override;
    STDMETHODIMP GetForeground(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP TestKeyDown(WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP TestKeyUp(WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP KeyDown(WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP KeyUp(WPARAM key, LPARAM keyData, BOOL* eaten) override;
    STDMETHODIMP GetPreservedKey(ITfContext*, const TF_PRESERVEDKEY*, GUID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsPreservedKey(REFGUID, const TF_PRESERVEDKEY*, BOOL*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP PreserveKey(TfClientId, REFGUID, const TF_PRESERVEDKEY*, const WCHAR*,
                             ULONG) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP UnpreserveKey(REFGUID, const TF_PRESERVEDKEY*) override { return E_NOTIMPL; }
    STDMETHODIMP SetPreservedKeyDescription(REFGUID, const WCHAR*, ULONG) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetPreservedKeyDescription(REFGUID, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SimulatePreservedKey(ITfContext*, REFGUID, BOOL*) override { return E_NOTIMPL; }

private:
    ~FakeThreadMgr() override;

    static constexpr DWORD kThreadSinkCookie = 0x5151;
};

}  // namespace qorva_tsf_test
