#include "accessible_robot.h"

#include <oleacc.h>

namespace robot {

std::string AccessibleName(HWND window) {
    HRESULT com = CoInitialize(NULL);  // balanced below, whatever the thread had
    IAccessible* object = NULL;
    // The static library's IID_IAccessible is an import: the compiler's own is the value.
    HRESULT found = AccessibleObjectFromWindow(window, (DWORD)OBJID_CLIENT, __uuidof(IAccessible),
                                               (void**)&object);
    char text[256] = "(no name)";
    if (FAILED(found) || !object) lstrcpyA(text, "(no accessible object)");
    VARIANT self = {};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = NULL;
    if (object && object->get_accName(self, &name) == S_OK && name)
        WideCharToMultiByte(1252, 0, name, -1, text, sizeof text, NULL, NULL);
    SysFreeString(name);
    if (object) object->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return text;
}

}  // namespace robot
