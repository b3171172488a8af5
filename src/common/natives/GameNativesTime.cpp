// The scripts' calendar: local time tables and differences between them.

#include <ctime>

#include "common/natives/GameNatives.h"
#include "common/world/GameLua.h"
#include "lang/Numbers.h"
#include "pf/Process.h"

namespace {

const char* const FIELDS[] = {"year", "month", "day", "hour", "minutes", "seconds"};

lua::LuaTable timeTable(lua::LuaState& state, const pf::LocalTime& time) {
    lua::LuaTable table(state);
    const int values[] = {time.year, time.month, time.day, time.hour, time.minutes, time.seconds};
    for (int i = 0; i < 6; ++i) {
        table.set(FIELDS[i], values[i]);
    }
    return table;
}

int field(const lua::LuaTable& table, const char* name) {
    return table.isNumber(name) ? lang::truncateToInt(table.getNumber(name)) : 0;
}

// Seconds since 1970 of a getCurrentTime table.
long long secondsOf(const lua::LuaTable& table) {
    return pf::fromLocalTime(pf::LocalTime{field(table, "year"), field(table, "month"),
                                           field(table, "day"), field(table, "hour"),
                                           field(table, "minutes"), field(table, "seconds")});
}

// From the first table to the second; the strict reader refuses non-tables.
long long differenceOf(lua::LuaState& state) {
    long long from = secondsOf(state.toTable(1));
    return secondsOf(state.toTable(2)) - from;
}

}  // namespace

void GameNatives::registerTimeNatives() {
    world_.bindMethod("getCurrentTime", this, &GameNatives::getCurrentTime);
    world_.addMethod("getTimeDifference", this, &GameNatives::getTimeDifference, "(t, t) -> t");
    world_.addMethod("getTimeDifferenceInSeconds", this, &GameNatives::getTimeDifferenceInSeconds,
                     "(t, t) -> n");
    world_.addMethod("toNewTimeFormat", this, &GameNatives::toNewTimeFormat, "(t) -> t");
}

lua::LuaTable GameNatives::getCurrentTime() {
    return timeTable(*world_.getState(), pf::localTime(static_cast<long long>(std::time(nullptr))));
}

// From the first table to the second, split into days, hours, minutes and seconds.
int GameNatives::getTimeDifference(lua::LuaState* state) {
    long long total = differenceOf(*state);
    lua::LuaTable result(*state);
    result.set("days", static_cast<float>(total / 86400));
    result.set("hours", static_cast<float>(total % 86400 / 3600));
    result.set("minutes", static_cast<float>(total % 3600 / 60));
    result.set("seconds", static_cast<float>(total % 60));
    state->pushTable(&result);
    return 1;
}

int GameNatives::getTimeDifferenceInSeconds(lua::LuaState* state) {
    state->pushNumber(static_cast<float>(differenceOf(*state)));
    return 1;
}

// {year, month, d, h, m, s} to the getCurrentTime form, carrying overflowing
// fields over as the calendar does.
int GameNatives::toNewTimeFormat(lua::LuaState* state) {
    lua::LuaTable old = state->toTable(1);
    pf::LocalTime time{field(old, "year"), field(old, "month"), field(old, "d"),
                       field(old, "h"),    field(old, "m"),     field(old, "s")};
    lua::LuaTable result = timeTable(*state, pf::localTime(pf::fromLocalTime(time)));
    state->pushTable(&result);
    return 1;
}
