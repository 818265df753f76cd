// A DirectDraw stand-in that records what the presentation surfaces ask of
// it. Every DirectDrawCreate makes a new DirectDraw object, and every object
// it creates is new too, numbered in creation order ("ddraw1", "primary1",
// "back1", "clipper1", then "ddraw2", ...). A test makes one step fail by
// naming it in `failures`.
#pragma once

#include "fake_com.h"

#include <cstdio>
#include <deque>
#include <memory>

class FakeDisplay {
public:
    // Steps a test can make fail: "DirectDrawCreate", "SetCooperativeLevel",
    // "CreateSurface primary", "CreateSurface back", "CreateClipper",
    // "SetHWnd", "SetClipper", "Blt".
    std::map<std::string, HRESULT> failures;
    // What GetCaps reports for the driver.
    DWORD driverCaps = 0;
    DWORD driverSurfaceCaps = 0;
    // Every surface description CreateSurface was given, in order.
    std::vector<DDSURFACEDESC> descriptions;
    // The step of the last call made.
    std::string lastStep;
    ReleaseLog& log;

    explicit FakeDisplay(ReleaseLog& releaseLog) : log(releaseLog) { current_ = this; }
    ~FakeDisplay() { current_ = nullptr; }
    FakeDisplay(const FakeDisplay&) = delete;
    FakeDisplay& operator=(const FakeDisplay&) = delete;

    // Goes into GraphicsState in place of the loaded entry point.
    static HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
        return current_->Create(guid, directDraw, outer);
    }

    struct Surface;
    struct Clipper;

    struct DirectDraw : FakeDirectDraw {
        DirectDraw(std::string name, FakeDisplay& display)
            : FakeDirectDraw(std::move(name), display.log), display_(display) {}

        HRESULT STDMETHODCALLTYPE GetCaps(LPDDCAPS driver, LPDDCAPS emulation) override {
            Record("GetCaps(" + std::to_string(driver->dwSize) + ", " +
                   std::to_string(emulation->dwSize) + ")");
            driver->dwCaps = display_.driverCaps;
            driver->ddsCaps.dwCaps = display_.driverSurfaceCaps;
            return DD_OK;
        }
        HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
            Record("SetCooperativeLevel(" + display_.WindowName(window) + ", " + Hex(flags) + ")");
            return display_.Step("SetCooperativeLevel");
        }
        HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                                IUnknown* outer) override {
            const bool primary = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
            Record("CreateSurface(" + Hex(desc->dwFlags) + ", " + Hex(desc->ddsCaps.dwCaps) + ", " +
                   std::to_string(desc->dwWidth) + "x" + std::to_string(desc->dwHeight) +
                   (outer == nullptr ? "" : ", outer") + ")");
            display_.descriptions.push_back(*desc);
            HRESULT hr = display_.Step(primary ? "CreateSurface primary" : "CreateSurface back");
            *surface = hr == DD_OK ? display_.NewSurface(primary ? "primary" : "back") : nullptr;
            return hr;
        }
        HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper,
                                                IUnknown* outer) override {
            Record("CreateClipper(" + Hex(flags) + (outer == nullptr ? "" : ", outer") + ")");
            HRESULT hr = display_.Step("CreateClipper");
            *clipper = hr == DD_OK ? display_.NewClipper() : nullptr;
            return hr;
        }

    private:
        FakeDisplay& display_;
    };

    struct Surface : FakeSurface {
        Surface(std::string name, FakeDisplay& display)
            : FakeSurface(std::move(name), display.log), display_(display) {}

        HRESULT STDMETHODCALLTYPE Blt(LPRECT to, LPDIRECTDRAWSURFACE source, LPRECT from,
                                      DWORD flags, LPDDBLTFX effects) override {
            Record("Blt(" + Rect(to) + ", " + Log().NameOf(source) + ", " + Rect(from) + ", " +
                   Hex(flags) + ", " + (effects == nullptr ? "null" : "effects") + ")");
            return display_.Step("Blt");
        }
        HRESULT STDMETHODCALLTYPE IsLost() override {
            Record("IsLost");
            return lost ? DDERR_SURFACELOST : DD_OK;
        }
        HRESULT STDMETHODCALLTYPE Restore() override {
            Record("Restore");
            lost = false;
            return DD_OK;
        }
        HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override {
            Record("SetClipper(" + Log().NameOf(clipper) + ")");
            return display_.Step("SetClipper");
        }

        bool lost = false;

    private:
        FakeDisplay& display_;
    };

    struct Clipper : FakeClipper {
        Clipper(std::string name, FakeDisplay& display)
            : FakeClipper(std::move(name), display.log), display_(display) {}

        HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override {
            Record("SetHWnd(" + Hex(flags) + ", " + display_.WindowName(window) + ")");
            return display_.Step("SetHWnd");
        }

    private:
        FakeDisplay& display_;
    };

    struct Viewport : FakeRetainedViewport {
        using FakeRetainedViewport::FakeRetainedViewport;
        HRESULT STDMETHODCALLTYPE ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) override {
            Record("ForceUpdate(" + std::to_string(x1) + ", " + std::to_string(y1) + ", " +
                   std::to_string(x2) + ", " + std::to_string(y2) + ")");
            return DD_OK;
        }
    };

    // The window the layer is handed; it names no real window.
    HWND window = reinterpret_cast<HWND>(0x5EED);

    std::string WindowName(HWND hwnd) const { return hwnd == window ? "window" : "other"; }

    static std::string Hex(DWORD value) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
        return text;
    }

    static std::string Rect(const RECT* r) {
        if (r == nullptr)
            return "null";
        return "{" + std::to_string(r->left) + ", " + std::to_string(r->top) + ", " +
               std::to_string(r->right) + ", " + std::to_string(r->bottom) + "}";
    }

    // The objects made so far, in creation order, by name.
    template <class Object> Object& Made(const std::string& name) {
        return dynamic_cast<Object&>(*byName_.at(name));
    }

private:
    struct Owned {
        virtual ~Owned() = default;
    };
    template <class Object> struct Holder : Owned, Object { using Object::Object; };

    HRESULT Create(GUID* guid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
        log.calls.push_back(std::string("DirectDrawCreate(") + (guid == nullptr ? "null" : "guid") +
                            ", " + (outer == nullptr ? "null" : "outer") + ")");
        HRESULT hr = Step("DirectDrawCreate");
        *directDraw = hr == DD_OK ? Make<DirectDraw>("ddraw") : nullptr;
        return hr;
    }

    HRESULT Step(const std::string& step) {
        lastStep = step;
        auto failure = failures.find(step);
        return failure == failures.end() ? DD_OK : failure->second;
    }

    Surface* NewSurface(const std::string& kind) { return Make<Surface>(kind); }
    Clipper* NewClipper() { return Make<Clipper>("clipper"); }

    template <class Object> Object* Make(const std::string& kind) {
        const std::string name = kind + std::to_string(++counts_[kind]);
        auto holder = std::make_unique<Holder<Object>>(name, *this);
        Object* object = holder.get();
        byName_[name] = object;
        made_.push_back(std::move(holder));
        return object;
    }

    static inline FakeDisplay* current_ = nullptr;
    std::map<std::string, int> counts_;
    std::deque<std::unique_ptr<Owned>> made_;
    std::map<std::string, IUnknown*> byName_;
};
