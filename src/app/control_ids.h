#pragma once

namespace vantaro {

// Controls of the main window, named as the form names them, so that a message can be traced to its control.
enum class Ctl : int {
    选择夹1 = 1000,
    超级列表框_服务器列表,
    按钮_新建,
    按钮_删除,
    分组框1,
    透明标签2,
    编辑框_服务器IP,
    透明标签3,
    编辑框_服务器端口,
    透明标签4,
    编辑框_服务器密码,
    选择框_密码明文,
    按钮_生成分享链接,
    按钮_导入分享链接,
    按钮_二维码扫描,
    按钮_检测延迟,
    透明标签1,
    编辑框_文件位置,
    按钮_浏览,
    透明标签5,
    编辑框_本地端口,
    按钮_打开配置文件所在目录,
    按钮_保存,
    选择框_开机启动,
    按钮_启动,
    按钮_停止,
    编辑框_日志,
    状态条1,
    End
};
constexpr int kFirstControl = static_cast<int>(Ctl::选择夹1);
constexpr int kControlCount = static_cast<int>(Ctl::End) - kFirstControl;

// Items of the hidden menu "托盘菜单", which serves as the tray menu.
enum class MenuItem : int {
    状态 = 2000,
    直连模式,
    PAC模式,
    全局模式,
    启动代理,
    停止代理,
    编辑服务器,
    更新PAC文件,
    编辑PAC文件,
    生成分享链接,
    导入分享链接,
    二维码扫描,
    检测延迟,
    检查更新,
    使用方法,
    关于,
    捐赠,
    退出,
};

}  // namespace vantaro
