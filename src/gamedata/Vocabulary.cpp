#include "gamedata/Vocabulary.h"

const cLabel g_CommandTypes[COMMAND_TYPE_COUNT] = {
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 0},
    {"キャラ召喚", 0},
    {"アイテム召喚", 0},
    {"フローの操作", 3},
    {"ステージクリア", 5},
    {"ゲームウエイト", 1},
    {"メッセージ", 10},
    {"ワープ", 0},
    {"ターゲットの設定", 10},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 11},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
};

const cLabel g_ItemCommandTypes[ITEM_COMMAND_TYPE_COUNT] = {
    {"", 0},
    {"フローの変更", 2},
    {"ステージクリア", 5},
    {"ゲームウエイト", 1},
    {"メッセージ", 10},
    {"ワープ", 0},
    {"ターゲットの設定", 10},
    {"ステータスの操作", 18},
    {"ステータスの操作2", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 1},
    {"エフェクトの実行", 8},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 11},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
};

int CommandParamCount(int nSet, int nType) {
  if (nSet == 0) return nType >= 0 && nType < COMMAND_TYPE_COUNT ? g_CommandTypes[nType].m_nValue : -1;
  return nType >= 0 && nType < ITEM_COMMAND_TYPE_COUNT ? g_ItemCommandTypes[nType].m_nValue : -1;
}

const char* const g_FlowIdNames[28] = {"-", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                       "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", ""};
const char* const g_SwitchNames[28] = {"-", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                       "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", ""};
const char* const g_FlowOperationNames[7] = {"開始", "終了", "一時停止", "再開", "削除", "永久停止", ""};
const char* const g_FlowTargetNames[4] = {"このフロー", "このフロー以外全て", "IDで指定", ""};

const char* const g_TriggerNames[TRIGGER_COUNT + 1] = {
    "常時",
    "ダメージを受けた時",
    "衝撃を受けた時",
    "死亡した時",
    "キャラに当たった時",
    "ブロックキャラに当たった時",
    "ブロックキャラに乗っている時",
    "ショットに当たった時",
    "アイテムに当たった時",
    "ブロックに当たった時",
    "自分の左右にブロックが当たった時",
    "自分の左にブロックが当たった時",
    "自分の右にブロックが当たった時",
    "自分の上下にブロックが当たった時",
    "自分の上にブロックが当たった時",
    "自分の下にブロックが当たった時",
    "主人公に乗られている時",
    "キャラに乗られている時",
    "ステージ開始前",
    "なし（フローの操作コマンドで実行）",
    "",
};

const char* const g_OwnerNames[3] = {"自分", "ターゲット", ""};
const char* const g_OwnerSystemNames[4] = {"自分", "ターゲット", "システム", ""};
const char* const g_HeroTargetNames[3] = {"主人公", "ターゲット", ""};
const char* const g_HeroTargetSystemNames[4] = {"主人公", "ターゲット", "システム", ""};
const char* const g_SubjectNames[3] = {"ステータス", "変数", ""};
const char* const g_OperandKindNames[5] = {"定数", "乱数", "ステータス", "変数", ""};
const char* const g_VariableKindNames[3] = {"コモン変数", "ステージ変数", ""};
const char* const g_CalcModeNames[4] = {"通常の計算", "最大値に対する％で指定", "現在値に対する％で指定", ""};
const char* const g_SingleOnNames[2] = {"ON", ""};
const char* const g_CharaVariableNames[9] = {"1 キャラ変数-1", "2 キャラ変数-2", "3 キャラ変数-3",
                                             "4 キャラ変数-4", "5 キャラ変数-5", "6 キャラ変数-6",
                                             "7 キャラ変数-7", "8 キャラ変数-8", ""};
const char* const g_OperatorNames[8] = {"＝", "＋", "－", "×", "÷", "÷ X の余り", "X ％", ""};
const char* const g_CompareNames[7] = {"である", "でない", "以上", "以下", "より上", "より下", ""};
const char* const g_NegationNames[3] = {"なら", "でないなら", ""};

const cStatusLabel g_CharaStatuses[CHARA_STATUS_COUNT] = {
    {"キャラ変数", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"HP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"SP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"最大HP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"最大SP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"キャラID", 0, 99, -99, 99, 0, 0, 0},
    {"Z座標", 0, 8, -8, 8, 0, 0, 0},
    {"マーク番号", 0, 119, -121, 119, 0, 0, 0},
    {"視界範囲(hbl)", 0, 40, -40, 40, 0, 0, 1},
    {"体当たりの威力", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"体当たりの衝撃", -20, 20, -20, 20, 0, 0, 1},
    {"防御力", 0, 999999, -999999, 999999, 0, 0, 1},
    {"衝撃耐性", 0, 20, -20, 20, 0, 0, 1},
    {"止まりやすさ", 0, 200, -200, 200, 0, 0, 1},
    {"獲得スコア", -999999, 999999, -999999, 999999, 0, 0, 1},
};

const cStatusLabel g_SystemValues[SYSTEM_VALUE_COUNT] = {
    {"時間", 0, 999, -999, 999, 0, 0, 1},
    {"横スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"縦スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"スコア", 0, 999999, -999999, 999999, 0, 0, 1},
    {"残り人数", 0, 99, -99, 99, 0, 0, 1},
};

namespace {
// The value names of the states: the same words the palette definitions show for their
// switches, flight, invincibility and enlargement.
const char* const g_OffOnNames[3] = {"OFF", "ON", ""};
const char* const g_FlightNames[5] = {"OFF", "ON (ブロックをすり抜ける)", "ON (ブロックに当たる)",
                                      "ON (ブロックに当たると即死)", ""};
const char* const g_InvincibleNames[4] = {"OFF", "ON (ショットが当たる)", "ON (ショットがすり抜ける)", ""};
const char* const g_ScaleNames[11] = {"しない", "×4", "×9", "×16", "×25", "×36", "×49", "×64", "×81", "×100", ""};
}  // namespace

const cStateLabel g_CharaStates[CHARA_STATE_COUNT] = {
    {"消滅", 0, 0, g_SingleOnNames, 0},
    {"透明", 0, 1, g_OffOnNames, 0},
    {"向き固定", 0, 1, g_OffOnNames, 0},
    {"飛行", 0, 3, g_FlightNames, 0},
    {"無敵", 0, 2, g_InvincibleNames, 0},
    {"巨大化", 1, 10, g_ScaleNames, 1},
    {"オートスクロールとシンクロ", 0, 1, g_OffOnNames, 0},
};

const char* const g_FacingStateNames[5] = {"左向き", "右向き", "ブロックに乗っている(ブロックキャラも含む)",
                                           "画面内にいる", ""};

const char* const g_StageClearNames[4] = {"次のステージへ", "番号で指定", "ワールドクリア", ""};
const char* const g_MessagePlaceNames[10] = {
    "画面中央に表示",   "自分の上に表示",     "自分の下に表示", "自分の中心に表示",   "主人公の上に表示",
    "主人公の下に表示", "主人公の中心に表示", "画面座標で指定", "ステージ座標で指定", ""};
const char* const g_MessageTimeNames[4] = {"進行キーが押されるまで表示", "ステージ終了まで表示", "時間で指定", ""};
const char* const g_TargetChoiceNames[5] = {"主人公", "自分", "最も近いキャラ", "キャラ(キャラIDで指定)", ""};
const char* const g_TargetRangeNames[4] = {"全範囲（画面内のキャラ優先）", "全範囲", "画面内のみ", ""};
const char* const g_PaletteNames[3] = {"コモンパレット", "ステージパレット", ""};
const char* const g_CommonPaletteOnlyNames[2] = {"コモンパレット", ""};
const char* const g_PicturePlaceNames[6] = {"画面中央に表示", "キャラの中心に表示", "主人公の中心に表示",
                                            "画面座標で指定", "ステージ座標で指定", ""};
const char* const g_PictureTimeNames[4] = {"進行キーが押されるまで表示", "ステージ終了まで表示", "時間で指定", ""};
const char* const g_AnimePlayNames[4] = {"通常実行", "反転実行", "往復実行", ""};
const char* const g_VisibilityNames[4] = {"表示", "非表示", "反転(表示⇔非表示)", ""};

// clang-format off
const char* const g_ConditionKindNames[CONDITION_KIND_COUNT] = {
    "", "コモン変数条件", "ステージ変数条件", "キャラ変数条件", "ステータス条件", "ステータス条件2", "ステータス条件3",
    "距離条件"};
// clang-format on
const char* const g_ConditionRuleNames[3] = {"全ての条件が真なら成立", "1つ以上の条件が真なら成立", ""};
const char* const g_DistanceAxisNames[8] = {"横", "前", "後", "縦", "前Y", "後Y", "円", ""};
const char* const g_DistanceSenseNames[3] = {"以内", "外", ""};

const char* const g_KeyStateNames[4] = {"--", "押", "離", ""};
const char* const g_KeyRuleNames[4] = {"全てのキーが真なら成立", "1つ以上のキーが真なら成立", "1つだけキーが真なら成立",
                                       ""};

const char* const g_MoveModeNames[3] = {"方向で指定", "目標座標で指定", ""};
const char* const g_WarpModeNames[4] = {"方向と距離で指定", "ターゲットからの方向と距離で指定", "目標座標で指定", ""};
const char* const g_DirectionNames[14] = {"前", "後",   "左",   "右",   "前Y",  "後Y",      "上",
                                          "下", "左上", "左下", "右上", "右下", "入力方向", ""};
const char* const g_MoveCoordNames[5] = {"配置位置からの相対座標", "相対座標", "絶対座標", "画面座標", ""};
const char* const g_WarpCoordNames[4] = {"相対座標", "絶対座標", "画面座標", ""};
const char* const g_RotationNames[5] = {"右回り", "左回り", "左向きなら右回り、右向きなら左回り",
                                        "左向きなら左回り、右向きなら右回り", ""};
const char* const g_FacingChangeNames[7] = {"左を向く",
                                            "右を向く",
                                            "ターゲットがいる方を向く",
                                            "ターゲットがいる方の逆を向く",
                                            "最後にブロックが当たった方を向く",
                                            "最後にブロックが当たった方の逆を向く",
                                            ""};
const char* const g_MoveTimingNames[4] = {"時間と速度を指定", "時間と距離を指定", "速度と距離を指定", ""};
const char* const g_CircleTimingNames[3] = {"時間を指定", "速度を指定", ""};
const char* const g_JumpHeightNames[4] = {"高さがキーで調節できない", "高さがキーで調節できる(主人公のみ有効)",
                                          "慣性移動速度に応じて高さを決定(主人公のみ有効)", ""};
const char* const g_DistanceUnitNames[3] = {"(hbl)で指定", "(dot)で指定", ""};
