#include "device/uWinstuff.h"

#include "framework/win32/DefaultErase.h"

TProgressBarVistaFix::TProgressBarVistaFix(void* progressBar) : window_(progressBar) {
    fw::eraseBackgroundByDefault(progressBar);
}
