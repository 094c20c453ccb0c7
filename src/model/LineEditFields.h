#pragma once
// The operand fields of the line edit dialog without their widgets: which
// fields a command uses, and the values they take from a stored line. The
// dialog shows these values in its controls.

#include <cstdint>
#include <string>

#include "ProgramLine.h"

class LineEditFields {
public:
    // Entries of the drop-down lists; an item index is the byte it stands for.
    static constexpr int LineItems = 25;
    static constexpr int ProgItems = 10;
    static constexpr int InOutItems = 2;
    static constexpr int OnOffItems = 2;
    static constexpr int NoNcItems = 2;
    // No entry selected: a stored byte the list does not offer.
    static constexpr int NoItem = -1;

    struct Used {
        bool number = false;
        bool line = false;
        bool prog = false;
        bool inOut = false;
        bool onOff = false;
        bool noNc = false;
    };

    // The fields command c (0..25) shows and fills; none for any other c.
    static Used UsedBy(int c);

    // The command code a stored command byte opens as: 100 is subtracted from
    // bytes of 100 or more; a result outside 0..25 opens as code 0.
    static int OpeningCode(std::uint8_t commandByte);

    // Sets the fields that c uses from the stored line read in c's layout
    // (which need not be the command stored in the line); the other fields
    // keep their values. Number gets the whole digit text, however long the
    // stored bytes make it.
    void FillFrom(const ProgramLine& stored, int c);

    std::string number = "0";
    int line = 0;
    int prog = 0;
    int inOut = 0;
    int onOff = 0;
    int noNc = 0;
};
