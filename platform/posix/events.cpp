// Event objects: signalled by one thread, waited for by another (the editor library signals the
// main thread from its own). A name makes every CreateEventA with that name share one object.
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/win32.h"

namespace {

struct EventObject {
    std::mutex mutex;
    std::condition_variable changed;
    bool manualReset = false;
    bool signalled = false;
};

// What a HANDLE points to; each handle keeps the object alive while it is open.
struct EventHandle {
    std::shared_ptr<EventObject> object;
};

struct EventRegistry {
    std::mutex mutex;
    std::unordered_set<EventHandle*> handles;
    std::map<std::string, std::weak_ptr<EventObject>> named;
};

EventRegistry& Registry()
{
    static EventRegistry registry;
    return registry;
}

std::shared_ptr<EventObject> LookUp(HANDLE handle)
{
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto* eventHandle = static_cast<EventHandle*>(handle);
    if (registry.handles.count(eventHandle) == 0) {
        return nullptr;
    }
    return eventHandle->object;
}

}  // namespace

HANDLE CreateEventA(void* /*securityAttributes*/, BOOL manualReset, BOOL initialState, const char* name)
{
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    std::shared_ptr<EventObject> object;
    if (name != nullptr) {
        object = registry.named[name].lock();
    }
    if (object != nullptr) {
        SetLastError(ERROR_ALREADY_EXISTS);
    } else {
        object = std::make_shared<EventObject>();
        object->manualReset = manualReset != FALSE;
        object->signalled = initialState != FALSE;
        if (name != nullptr) {
            registry.named[name] = object;
        }
        SetLastError(0);
    }
    auto* handle = new EventHandle{std::move(object)};
    registry.handles.insert(handle);
    return handle;
}

BOOL SetEvent(HANDLE event)
{
    const std::shared_ptr<EventObject> object = LookUp(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(object->mutex);
        object->signalled = true;
    }
    if (object->manualReset) {
        object->changed.notify_all();
    } else {
        object->changed.notify_one();
    }
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    const std::shared_ptr<EventObject> object = LookUp(event);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(object->mutex);
    object->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    const std::shared_ptr<EventObject> object = LookUp(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> lock(object->mutex);
    const auto isSignalled = [&object] { return object->signalled; };
    if (milliseconds == INFINITE) {
        object->changed.wait(lock, isSignalled);
    } else if (!object->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), isSignalled)) {
        return WAIT_TIMEOUT;
    }
    if (!object->manualReset) {
        object->signalled = false;
    }
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle)
{
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto* eventHandle = static_cast<EventHandle*>(handle);
    if (registry.handles.erase(eventHandle) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete eventHandle;
    // Forget names whose object is gone, so that a later CreateEventA makes a new one.
    for (auto it = registry.named.begin(); it != registry.named.end();) {
        it = it->second.expired() ? registry.named.erase(it) : std::next(it);
    }
    return TRUE;
}
