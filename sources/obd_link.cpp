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
    } else if (!feed.registered) {
        const ReaderAnswer answer = ops.announce();
        if (answer != ReaderAnswer::Absent) ops.request();
        feed.registered = answer == ReaderAnswer::Answered;
    }
}

void ObdIdleStep(ObdFeed& feed, const ObdLinkOps& ops) {
    if (feed.view == nullptr) ops.attach();
    if (feed.view != nullptr && feed.view->linkState == kObdLinkIdle) ops.request();
}
