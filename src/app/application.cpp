#include "app/application.h"

#include "app/window_proc.h"

namespace app {

namespace d3d = platform::d3d;

Application::Application(platform::System& system, GameFlow& flow) : system_(system), flow_(flow) {
    InitWindow();
}

Application::~Application() {
    Shutdown();
}

void Application::Report(const char* text, const char* caption) {
    system_.MessageBoxA(window.get(), text, caption, 0);
}

void Application::InitWindow() {
    system_.InitCommonControls();
    system_.RegisterClassExA(
        {.className = kClassName, .style = platform::cs::VREDRAW | platform::cs::HREDRAW});
    window = system_.CreateWindowExA(
        {.className = kClassName,
         .title = kWindowTitle,
         .exStyle = 0,
         .style = platform::ws::VISIBLE | platform::ws::CAPTION | platform::ws::SYSMENU |
                  platform::ws::MINIMIZEBOX,
         .x = 30,
         .y = 30,
         .width = 1280,
         .height = 760},
        [this](platform::Window& w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
            return WindowProc(running, flow_, w, message, wParam, lParam);
        });
    running = true;
    InitD3D();
}

void Application::InitD3D() {
    direct3D = system_.Direct3DCreate9(d3d::SDK_VERSION);
    if (!direct3D) {
        Report("Direct3DCreate9() failed!", "InitD3D()");
        running = false;
    } else {
        presentParams = {};
        presentParams.BackBufferWidth = static_cast<uint32_t>(width);
        presentParams.BackBufferHeight = static_cast<uint32_t>(height);
        presentParams.BackBufferFormat = backBufferFormat;
        presentParams.BackBufferCount = 0;
        presentParams.MultiSampleType = multiSampleType;
        presentParams.MultiSampleQuality = 0;
        presentParams.SwapEffect = d3d::SWAPEFFECT_DISCARD;
        presentParams.hDeviceWindow = window.get();
        presentParams.Windowed = 1;
        presentParams.EnableAutoDepthStencil = 1;
        presentParams.AutoDepthStencilFormat = depthStencilFormat;
        presentParams.Flags = 0;
        presentParams.FullScreen_RefreshRateInHz = 0;
        presentParams.PresentationInterval = d3d::PRESENT_INTERVAL_DEFAULT;
        const platform::HResult r =
            direct3D->CreateDevice(d3d::ADAPTER_DEFAULT, d3d::DEVTYPE_HAL, window.get(),
                                   d3d::CREATE_SOFTWARE_VERTEXPROCESSING, presentParams, device);
        if (platform::Failed(r) || !device) {
            device.reset();
            Report("CreateDevice() failed!", "InitD3D()");
            running = false;
        }
    }
    system_.ShowCursor(true);
    if (device) {
        ApplyDeviceSettings();
    }
}

void Application::ApplyDeviceSettings() {
    projection = platform::MatrixPerspectiveFovLH(fieldOfView, aspect, nearPlane, farPlane);
    device->SetTransform(d3d::TS_PROJECTION, projection);
    device->SetRenderState(d3d::RS_AMBIENT, 0x00FFFFFF);
    device->SetRenderState(d3d::RS_LIGHTING, 0);
    device->SetRenderState(d3d::RS_CULLMODE, d3d::CULL_NONE);
    device->SetRenderState(d3d::RS_ZENABLE, d3d::ZB_TRUE);
    for (uint32_t sampler = 0; sampler < 8; ++sampler) {
        device->SetSamplerState(sampler, d3d::SAMP_MINFILTER, d3d::TEXF_LINEAR);
        device->SetSamplerState(sampler, d3d::SAMP_MAGFILTER, d3d::TEXF_LINEAR);
        device->SetSamplerState(sampler, d3d::SAMP_MIPFILTER, d3d::TEXF_ANISOTROPIC);
        device->SetSamplerState(sampler, d3d::SAMP_MAXANISOTROPY,
                                static_cast<uint32_t>(maxAnisotropy));
    }
    device->SetFVF(d3d::FVF_XYZ | d3d::FVF_DIFFUSE);
}

bool Application::CheckDevice(platform::Font* sharedFont) {
    if (!device) {
        return false;
    }
    const platform::HResult r = device->TestCooperativeLevel();
    if (r == platform::kDeviceLost) {
        return false;
    }
    if (r != platform::kDeviceNotReset) {
        return true;
    }
    if (sharedFont) {
        sharedFont->OnLostDevice();
    }
    if (platform::Failed(device->Reset(presentParams))) {
        // Shown once per run of failures: a box every frame would keep the player from
        // ever reaching the window again.
        if (!resetFailing_) {
            resetFailing_ = true;
            Report("Reset() failed!", "CheckDevice()");
        }
        return false;
    }
    resetFailing_ = false;
    ApplyDeviceSettings();
    if (sharedFont) {
        sharedFont->OnResetDevice();
    }
    return true;
}

void Application::Shutdown() {
    system_.UnregisterClassA(kClassName);
    ReleaseDevice();
}

void Application::ReleaseDevice() {
    device.reset();
    direct3D.reset();
}

}  // namespace app
