// A sensor platform for Vantrel under test: an in-process COM server registered as the sensor
// manager's class. It lists one GPS sensor that flies north from 47 N 8.5 E at 0.002 degrees
// (about 400 knots) a second, one report per GetData, stamped with the clock. It notes what
// happens to it in fake_sensor.log beside itself: "manager" when made, "data N" for every 10th
// report, "released" when the sensor's last reference goes.
#include <windows.h>

#include <string>

#include "tests/wine/vantrel/fake_sensor.h"

namespace {

HMODULE g_module = nullptr;

void Note(const std::string& line) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string log = path;
    log = log.substr(0, log.find_last_of('\\') + 1) + "fake_sensor.log";
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

class DrivingSensor : public FakeSensor {
  public:
    ~DrivingSensor() override { Note("released"); }
    HRESULT STDMETHODCALLTYPE GetData(ISensorDataReport** out) override {
        ++reports_;
        if (reports_ % 10 == 0) Note("data " + std::to_string(reports_));
        const double seconds = (GetTickCount() - start_) / 1000.0;
        SYSTEMTIME now;
        GetSystemTime(&now);
        const Keys keys = {{2, D(47.0 + seconds * 0.002)},
                           {3, D(8.5)},
                           {4, D(440.0)},
                           {6, D(400.0)},
                           {7, D(0.0)},
                           {10, I(1)},
                           {15, I(6)},
                           {17, I(6)},
                           {39, B({3, 8, 11, 17, 22, 28})},
                           {21, B({40, 38, 35, 30, 25, 20})}};
        *out = new FakeReport(keys, &now);
        return S_OK;
    }

  private:
    DWORD start_ = GetTickCount();
    int reports_ = 0;
};

class Factory : public Fake<IClassFactory> {
  public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* manager = new FakeManager;
        manager->gps = new FakeCollection;
        manager->gps->sensors.push_back(new DrivingSensor);
        Note("manager");
        const HRESULT result = manager->QueryInterface(iid, out);
        manager->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    *out = nullptr;
    if (clsid != kSensorManagerClsid) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory;
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

// Objects may still be alive when the program ends; the module stays.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}
