#pragma once

#include "ResultRecords.h"

#include <cstdio>
#include <string>

// A complete run of boards x channels with figures that differ per board and channel, so that a
// row stored in the wrong place shows. Channel failChannel of board failBoard fails.
inline TestRun sampleRun(int runNumber, int boards = 4, int channels = 8, int failBoard = -1,
                         int failChannel = 13)
{
    TestRun run;
    char id[40];
    std::snprintf(id, sizeof id, "00000000-0000-4000-8000-%012d", runNumber);
    run.id = id;
    char time[40];
    std::snprintf(time, sizeof time, "2026-03-01T08:%02d:%02d.%03dZ", (runNumber / 60) % 60, runNumber % 60,
                  runNumber % 1000);
    run.startedAt = time;
    run.endedAt = time;
    run.stationId = "bench-7";
    run.operatorName = "anna";
    run.headGuid = "0123456789ABCDEF";
    run.deviceType = "TRIVELLAV2";
    run.firmwareVersion = "0.0.5.6";
    run.stationVersion = "1.0.0";
    run.setupHash = std::string(64, 'a');
    run.cycleCount = 5;
    for (int k = 0; k < boards; ++k) {
        BoardResult board;
        board.row = k / 4;
        board.col = k % 4;
        board.index = k;
        board.serial = "SN-" + std::to_string(runNumber) + "-" + std::to_string(k);
        board.verdict = k == failBoard ? RunVerdict::Fail : RunVerdict::Pass;
        board.failedCycles = k == failBoard ? 5 : 0;
        if (k % 2 == 1) {
            board.pearson = 0.9875;
            board.pearsonThreshold = 0.95;
        }
        for (int c = 0; c < channels; ++c) {
            ChannelResult channel;
            channel.channel = c;
            channel.mode = c == 1 ? 1 : 0;
            channel.reference = 1000 + 10 * k + c;
            channel.low = channel.reference - 100;
            channel.high = channel.reference + 100;
            channel.mean = channel.reference + 0.25;
            channel.min = channel.reference - 3;
            channel.max = channel.reference + 4;
            channel.sd = 1.5;
            channel.pass = !(k == failBoard && c == failChannel);
            board.channels.push_back(channel);
        }
        run.boards.push_back(board);
    }
    return run;
}
