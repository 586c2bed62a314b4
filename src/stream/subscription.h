// Subscription: `subscriber` gets the recorder's batches for as long as this lives (nothing when
// it is null). The subscriber must outlive it.
#pragma once

#include "stream/batch_subscriber.h"
#include "stream/gravador_tela.h"

class Subscription {
  public:
    Subscription(GravadorTela& recorder, BatchSubscriber* subscriber)
        : recorder(recorder), subscriber(subscriber) {
        if (subscriber) recorder.subscribe(*subscriber);
    }
    ~Subscription() {
        if (subscriber) recorder.unsubscribe(*subscriber);
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

  private:
    GravadorTela& recorder;
    BatchSubscriber* const subscriber;
};
