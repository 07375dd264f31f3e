#include <gtest/gtest.h>

#include "comm/line_description.h"

namespace fw {
namespace {

// A driver left in any state by the last program gives the line this
// program needs: nothing of the old flow control or error handling stays.
TEST(LineDescription, WhateverTheDriverKeptTheLineIsPlain8N1WithoutFlowControl) {
    LineDescription left;
    left.baudRate = 300;
    left.binary = false;
    left.parityCheck = true;
    left.outxCtsFlow = left.outxDsrFlow = true;
    left.dtrControl = LineControl::Handshake;
    left.rtsControl = LineControl::Toggle;
    left.dsrSensitivity = true;
    left.txContinueOnXoff = false;
    left.outX = left.inX = true;
    left.errorChar = left.nullStrip = true;
    left.abortOnError = true;
    left.byteSize = 7;
    left.parity = 2;
    left.stopBits = 2;
    left.xonChar = left.xoffChar = 0;   // equal: some drivers refuse the description
    left.xonLim = 0;
    left.xoffLim = 60000;

    const LineDescription d = describeLine(left, LineSettings{19200, true, false});
    EXPECT_EQ(d.baudRate, 19200u);
    EXPECT_TRUE(d.binary);
    EXPECT_FALSE(d.parityCheck || d.outxCtsFlow || d.outxDsrFlow || d.dsrSensitivity || d.outX || d.inX ||
                 d.errorChar || d.nullStrip || d.abortOnError);
    EXPECT_TRUE(d.txContinueOnXoff);
    EXPECT_EQ(d.dtrControl, LineControl::Enable);
    EXPECT_EQ(d.rtsControl, LineControl::Disable);
    EXPECT_EQ(d.byteSize, 8);
    EXPECT_EQ(d.parity, 0);
    EXPECT_EQ(d.stopBits, 0);
    EXPECT_NE(d.xonChar, d.xoffChar);
    EXPECT_EQ(d.xonLim, 256);
    EXPECT_EQ(d.xoffLim, 256);

    // Valid characters and limits of the driver are left as they were.
    left.xonChar = 0x01;
    left.xoffChar = 0x02;
    left.xonLim = 100;
    left.xoffLim = 512;
    const LineDescription k = describeLine(left, LineSettings{9600, false, true});
    EXPECT_EQ(k.xonChar, 0x01);
    EXPECT_EQ(k.xoffChar, 0x02);
    EXPECT_EQ(k.xonLim, 100);
    EXPECT_EQ(k.xoffLim, 512);
    EXPECT_EQ(k.dtrControl, LineControl::Disable);
    EXPECT_EQ(k.rtsControl, LineControl::Enable);
}

}  // namespace
}  // namespace fw
