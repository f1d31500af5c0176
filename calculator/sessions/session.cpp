#include "sessions/session.h"

namespace gearsheet {

const char* WeatherWord(Weather weather) {
    switch (weather) {
        case Weather::kDry:
            return "dry";
        case Weather::kDamp:
            return "damp";
        case Weather::kWet:
            return "wet";
        case Weather::kNone:
            break;
    }
    return "";
}

Weather WeatherFromWord(const std::string& word) {
    for (Weather w : {Weather::kDry, Weather::kDamp, Weather::kWet})
        if (word == WeatherWord(w))
            return w;
    return Weather::kNone;
}

}  // namespace gearsheet
