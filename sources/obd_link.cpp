#include "sources/obd_link.h"

void ObdSecondStep(ObdFeed& feed, const ObdLinkOps& ops) {
    if (feed.view == nullptr) {
        ops.attach();
        if (feed.view == nullptr) {
            feed.registered = false;
            return;
        }
    }
    if (feed.view->linkState == kObdLinkNotConnected) {
        feed.registered = false;
    } else if (!feed.registered && ops.announce()) {
        ops.request();
        feed.registered = true;
    }
}

void ObdIdleStep(ObdFeed& feed, const ObdLinkOps& ops) {
    if (feed.view == nullptr) ops.attach();
    if (feed.view != nullptr && feed.view->linkState == kObdLinkIdle) ops.request();
}
