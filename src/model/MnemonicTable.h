#pragma once
// The five-character mnemonics of the 26 commands, in code order, stored as
// 26 records of 6 bytes (five characters and a terminating zero).

class MnemonicTable {
public:
    // The mnemonic of a code 0..25, exactly five characters ("END  ", "*****").
    // Precondition: 0 <= code < CommandCount.
    static const char* Mnemonic(int code);
};
