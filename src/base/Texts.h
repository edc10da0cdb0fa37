// The program's own texts, in code page 932. Each is written as its bytes, with the
// text itself beside it; a unit test checks every one against its Japanese original.
#pragma once

namespace texts {

// テルミカのインストール
inline constexpr char kTitle[] = "\203e\203\213\203~\203J\202\314\203C\203\223\203X\203g\201[\203\213";
// テルミカをインストールしました。
inline constexpr char kSuccessLine1[] = "\203e\203\213\203~\203J\202\360\203C\203\223\203X\203g\201[\203\213\202\265\202\334\202\265\202\275\201B";
// 「コントロールパネル」－「画面」－「スクリーンセーバー」で
inline constexpr char kSuccessLine2[] = "\201u\203R\203\223\203g\203\215\201[\203\213\203p\203l\203\213\201v\201|\201u\211\346\226\312\201v\201|\201u\203X\203N\203\212\201[\203\223\203Z\201[\203o\201[\201v\202\305";
// 「テルミカ」を設定してください。
inline constexpr char kSuccessLine3[] = "\201u\203e\203\213\203~\203J\201v\202\360\220\335\222\350\202\265\202\304\202\255\202\276\202\263\202\242\201B";
// テルミカのインストールに失敗しました。
inline constexpr char kFailureNotice[] = "\203e\203\213\203~\203J\202\314\203C\203\223\203X\203g\201[\203\213\202\311\216\270\224s\202\265\202\334\202\265\202\275\201B";
// テルミカのインストールを開始します。
inline constexpr char kInstructionLine1[] = "\203e\203\213\203~\203J\202\314\203C\203\223\203X\203g\201[\203\213\202\360\212J\216n\202\265\202\334\202\267\201B";
// 「インストール」ボタンを押してください。
inline constexpr char kInstructionLine2[] = "\201u\203C\203\223\203X\203g\201[\203\213\201v\203{\203^\203\223\202\360\211\237\202\265\202\304\202\255\202\276\202\263\202\242\201B";
// テルミカ.scr
inline constexpr char kScreenSaverName[] = "\203e\203\213\203~\203J.scr";

// The success notice: three lines joined by single carriage returns.
inline constexpr char kSuccessNotice[] = "\203e\203\213\203~\203J\202\360\203C\203\223\203X\203g\201[\203\213\202\265\202\334\202\265\202\275\201B\r\201u\203R\203\223\203g\203\215\201[\203\213\203p\203l\203\213\201v\201|\201u\211\346\226\312\201v\201|\201u\203X\203N\203\212\201[\203\223\203Z\201[\203o\201[\201v\202\305\r\201u\203e\203\213\203~\203J\201v\202\360\220\335\222\350\202\265\202\304\202\255\202\276\202\263\202\242\201B";
// The instruction of the installer window: two lines joined by a carriage return.
inline constexpr char kInstruction[] = "\203e\203\213\203~\203J\202\314\203C\203\223\203X\203g\201[\203\213\202\360\212J\216n\202\265\202\334\202\267\201B\r\201u\203C\203\223\203X\203g\201[\203\213\201v\203{\203^\203\223\202\360\211\237\202\265\202\304\202\255\202\276\202\263\202\242\201B";

} // namespace texts
