// The method objects by their numbers.
#include "engine/Wiper.h"

#include "engine/Wipersuperfastzero.h"
#include "engine/Wiperfastzero.h"
#include "engine/Wiperzero.h"
#include "engine/Wiperrandom.h"
#include "engine/Wiperrandomzero.h"
#include "engine/Wipernavso_mfm.h"
#include "engine/Wipernavso_rll.h"
#include "engine/Wiperbittoggle.h"
#include "engine/Wiperrandomrandomzero.h"
#include "engine/Wiperdod5220.h"
#include "engine/Wiperafssi5020.h"
#include "engine/Wipernato.h"
#include "engine/Wipergutmann.h"
#include "engine/Wiperdod5220gutmann.h"

Wiper* CreateWiper(int32_t id)
{
    switch (id) {
    case 0:
        return new WiperSuperFastZero();
    case 1:
        return new WiperFastZero();
    case 2:
        return new WiperZero();
    case 3:
        return new WiperRandom();
    case 4:
        return new WiperRandomZero();
    case 5:
        return new WiperNAVSO_MFM();
    case 6:
        return new WiperNAVSO_RLL();
    case 7:
        return new WiperBitToggle();
    case 8:
        return new WiperRandomRandomZero();
    case 9:
        return new WiperDoD5220();
    case 10:
        return new WiperAFSSI5020();
    case 11:
        return new WiperNATO();
    case 12:
        return new WiperGutmann();
    case 13:
        return new WiperDoD5220Gutmann();
    default:
        return nullptr;
    }
}
