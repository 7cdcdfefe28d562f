// Picture files of any content, decoded as the picture cache does through the image decompressor
// and its checks: either no bitmap, or one within the asked bounds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/imaging/Imaging.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at;
};

DWORD get_data(LPSTR buffer, DWORD size, LPARAM param) {
    Input& in = *reinterpret_cast<Input*>(param);
    const size_t n = std::min<size_t>(size, in.size - in.at);
    std::memcpy(buffer, in.data + in.at, n);
    in.at += n;
    return static_cast<DWORD>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)platform::check_image({data, size});
    for (int depth : {16, 32}) {
        Input in{data, size, 0};
        HBITMAP bitmap = nullptr;
        DecompressImageInfo info;
        info.phBM = &bitmap;
        info.iBitDepth = depth;
        info.iMaxWidth = 1024;
        info.iMaxHeight = 1024;
        info.lParam = reinterpret_cast<LPARAM>(&in);
        info.pfnGetData = get_data;
        const HRESULT result = DecompressImageIndirect(&info);
        if ((result == S_OK) != (bitmap != nullptr)) __builtin_trap();
        if (bitmap != nullptr) {
            BITMAP b{};
            GetObjectW(bitmap, sizeof b, &b);
            if (b.bmWidth < 1 || b.bmWidth > 1024 || b.bmHeight < 1 || b.bmHeight > 1024) __builtin_trap();
            DeleteObject(bitmap);
        }
    }
    return 0;
}
